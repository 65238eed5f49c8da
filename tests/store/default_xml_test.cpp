#include "store/default_xml.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "common/temp_folder.h"
#include "common/text_codec.h"
#include "store/device_clock.h"
#include "store/device_files.h"
#include "tests/support/store_test_support.h"

namespace torvane {
namespace {

using test::DecipherToBytes;
using test::EncipherBytes;
using test::ReadFile;
using test::TempFolder;
using test::WithoutPadding;

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n";

FileRecord File(std::string name, std::string card) {
    FileRecord file;
    file.name = std::move(name);
    file.rfidCardId = std::move(card);
    file.language = "ko";
    file.folderType = "1";
    file.size = 1234;
    return file;
}

ContentRecord Content(std::string number, std::string type, std::string title,
                      std::string subGroup = "") {
    ContentRecord content;
    content.contentNo = std::move(number);
    content.mainGroup = std::move(type);
    content.title = std::move(title);
    content.subGroup = std::move(subGroup);
    content.date = "2024-03-05T14-07-09";
    return content;
}

TEST(DefaultDocument, EmptyModelIsOneLineAfterTheDeclaration) {
    CDefaultXML model;
    model.setSystemVersion("1.2.3");
    model.setSoundType("A");
    EXPECT_EQ(model.SerializeDocument(),
              kDeclaration +
                  "<TorvaneDefault><systemVersion>1.2.3</systemVersion><soundType>A</soundType>"
                  "<diyList></diyList><selectedChildNo>0</selectedChildNo>"
                  "<selectedDiyContentNo></selectedDiyContentNo><gameContentList>"
                  "</gameContentList><contentsList></contentsList></TorvaneDefault>");
}

TEST(DefaultDocument, WritesEveryFieldInTheDeviceOrder) {
    CDefaultXML model;
    model.setSystemVersion("2");
    model.setSoundType("B");
    model.setSelectedChildNo(3);
    model.setSelectedDiyContentNo("L0002");
    model.diyList() = {"00000107", "00000007"};
    model.gameContentList() = {"S0002", "L0002"};
    ContentRecord content = Content("L0002", "language", "가", "x");
    content.status = "default";
    content.files = {File("00000001.qvx", "1001")};
    model.Contents(Shelf::Language).push_back(content);
    model.Contents(Shelf::Story).push_back(Content("S0002", "story", "s"));

    EXPECT_EQ(model.SerializeDocument(),
              kDeclaration +
                  "<TorvaneDefault><systemVersion>2</systemVersion><soundType>B</soundType>"
                  "<diyList><rfidCardID>00000007</rfidCardID><rfidCardID>00000107</rfidCardID>"
                  "</diyList><selectedChildNo>3</selectedChildNo>"
                  "<selectedDiyContentNo>L0002</selectedDiyContentNo><gameContentList>"
                  "<contentNo>L0002</contentNo><contentNo>S0002</contentNo></gameContentList>"
                  "<contentsList><content><contentNo>L0002</contentNo><name>\xB0\xA1</name>"
                  "<mainGroup>language</mainGroup><subGroup>x</subGroup>"
                  "<downloadDate>2024-03-05T14-07-09</downloadDate><status>default</status>"
                  "<files><file><name>00000001.qvx</name><language>ko</language>"
                  "<folderType>1</folderType><rfidCardID>1001</rfidCardID>"
                  "<fileSize>1234</fileSize></file></files></content>"
                  "<content><contentNo>S0002</contentNo><name>s</name><mainGroup>story</mainGroup>"
                  "<subGroup></subGroup><downloadDate>2024-03-05T14-07-09</downloadDate>"
                  "<files></files></content></contentsList></TorvaneDefault>");
}

TEST(DefaultDocument, ShelvesAreWrittenInDeviceOrderEachSortedAndWithoutTheGameShelf) {
    CDefaultXML model;
    model.Contents(Shelf::Excellent).push_back(Content("E2", "excellent", ""));
    model.Contents(Shelf::ExcellentSeries).push_back(Content("E1", "excellent", "", "series"));
    model.Contents(Shelf::Game).push_back(Content("L9", "language", ""));
    model.Contents(Shelf::Card).push_back(Content("C1", "card", ""));
    model.Contents(Shelf::Book).push_back(Content("B10", "book", ""));
    model.Contents(Shelf::Book).push_back(Content("B1", "book", ""));
    model.Contents(Shelf::Music).push_back(Content("M1", "music", ""));
    const std::string document = model.SerializeDocument();
    std::vector<std::string> order;
    for (auto at = document.find("<contentNo>"); at != std::string::npos;
         at = document.find("<contentNo>", at + 1)) {
        const auto start = at + 11;
        order.push_back(document.substr(start, document.find('<', start) - start));
    }
    EXPECT_EQ(order, (std::vector<std::string>{"M1", "B1", "B10", "C1", "E1", "E2"}));
}

TEST(DefaultDocument, CharactersOutsideCp949BecomeReferencesAndComeBack) {
    CDefaultXML model;
    // "똠쓔햏" exist only in CP949's extension; U+1F600 is in no Korean code page.
    const std::string title = "\xEB\x98\xA0\xEC\x93\x94\xED\x96\x8F \xF0\x9F\x98\x80 & <a>";
    model.Contents(Shelf::Music).push_back(Content("M1", "music", title));
    const std::string document = model.SerializeDocument();
    EXPECT_NE(document.find("<name>" + Utf8ToCp949("\xEB\x98\xA0\xEC\x93\x94\xED\x96\x8F") +
                            " &#128512; &amp; &lt;a&gt;</name>"),
              std::string::npos);

    CDefaultXML loaded;
    ASSERT_TRUE(loaded.ParseDocument(document).ok());
    ASSERT_EQ(loaded.Contents(Shelf::Music).size(), 1u);
    EXPECT_EQ(loaded.Contents(Shelf::Music)[0].title, title);
}

TEST(DefaultDocument, ReadsDocumentsWrittenByHand) {
    // Content numbers are filed by their first letter; anything else is dropped. The game list's
    // state lasts until the first content, and an element without text keeps its default.
    const std::string document =
        kDeclaration +
        "<TorvaneDefault><systemVersion>9</systemVersion><soundType></soundType>"
        "<selectedChildNo>42</selectedChildNo><gameContentList><contentNo>G1</contentNo>"
        "</gameContentList><contentsList>"
        "<content><contentNo>l1</contentNo></content>"
        "<content><contentNo>1L</contentNo></content>"
        "<content><contentNo>G7</contentNo><name>g</name></content>"
        "<content><contentNo>B1</contentNo><subGroup>series</subGroup><files>"
        "<file><name>1.qvx</name><fileSize>77</fileSize></file><file><name>2.qvx</name></file>"
        "</files><status>enable</status></content>"
        "<content><contentNo>C1</contentNo><subGroup>other</subGroup></content>"
        "</contentsList></TorvaneDefault>";
    CDefaultXML model;
    ASSERT_TRUE(model.ParseDocument(document).ok());
    EXPECT_EQ(model.systemVersion(), "9");
    EXPECT_EQ(model.selectedChildNo(), 42);
    EXPECT_EQ(model.gameContentList(), std::vector<std::string>{"G1"});
    EXPECT_EQ(model.Contents(Shelf::Language).size(), 0u);
    ASSERT_EQ(model.Contents(Shelf::Game).size(), 1u);
    EXPECT_EQ(model.Contents(Shelf::Game)[0].title, "g");
    ASSERT_EQ(model.Contents(Shelf::BookSeries).size(), 1u);
    const ContentRecord& book = model.Contents(Shelf::BookSeries)[0];
    ASSERT_EQ(book.files.size(), 2u);
    EXPECT_EQ(book.files[0].size, 77);
    EXPECT_EQ(book.files[1].name, "2.qvx");
    EXPECT_EQ(book.status, "enable");
    EXPECT_EQ(model.Contents(Shelf::Card).size(), 1u);
}

TEST(DefaultDocument, LongTextIsReadWhole) {
    CDefaultXML model;
    std::string title;
    for (int i = 0; i < 40000; ++i) title += (i % 2) ? "\xEA\xB0\x80" : "a&";
    model.Contents(Shelf::Story).push_back(Content("S1", "story", title));
    CDefaultXML loaded;
    ASSERT_TRUE(loaded.ParseDocument(model.SerializeDocument()).ok());
    EXPECT_EQ(loaded.Contents(Shelf::Story).at(0).title, title);
}

TEST(DefaultDocument, DamagedTextFailsWithTheParsersMessage) {
    CDefaultXML model;
    const Status cut = model.ParseDocument(kDeclaration + "<TorvaneDefault><contentsList>");
    EXPECT_EQ(cut.kind(), OutcomeKind::CardUnreadable);
    EXPECT_FALSE(cut.message().empty());
    EXPECT_FALSE(model.ParseDocument("\x93\x11garbage\xff").ok());
    const Status whole = model.ParseDocument(kDeclaration + "<TorvaneDefault/>");
    EXPECT_TRUE(whole.ok());
    EXPECT_TRUE(whole.message().empty());
}

class DefaultFile : public ::testing::Test {
  protected:
    TempFolder device;

    CDefaultXML SampleModel() {
        CDefaultXML model{device.path()};
        model.setSystemVersion("1.0");
        model.setSoundType("S");
        model.setSelectedChildNo(2);
        ContentRecord content = Content("L1", "language", "\xEB\x98\xA0 & <");
        content.files = {File("00000001.qvx", "1")};
        model.Contents(Shelf::Language).push_back(content);
        model.Contents(Shelf::Card).push_back(Content("C1", "card", "c"));
        model.gameContentList() = {"L1"};
        return model;
    }
};

TEST_F(DefaultFile, SaveEnciphersTheDocumentAndLeavesNoPlainCopy) {
    CDefaultXML model = SampleModel();
    ASSERT_TRUE(model.Save().ok());
    EXPECT_FALSE(std::filesystem::exists(device / "_Default.dat"));
    const std::string plain = DecipherToBytes(device / "Default.dat");
    EXPECT_EQ(plain.size() % 8, 0u);
    EXPECT_EQ(WithoutPadding(plain), model.SerializeDocument());
}

TEST_F(DefaultFile, LoadGivesBackWhatSaveWroteAndLoadsTwiceAlike) {
    CDefaultXML saved = SampleModel();
    ASSERT_TRUE(saved.Save().ok());
    CDefaultXML loaded{device.path()};
    ASSERT_TRUE(loaded.Load().ok());
    for (const Shelf shelf : kStoredShelves)
        EXPECT_EQ(loaded.Contents(shelf), saved.Contents(shelf)) << ShelfKey(shelf);
    EXPECT_EQ(loaded.selectedChildNo(), 2);
    EXPECT_EQ(loaded.gameContentList(), saved.gameContentList());
    // The game shelf is not stored: Load puts the chosen games on it, once however often.
    const std::vector<ContentRecord> games = loaded.Contents(Shelf::Game);
    EXPECT_EQ(games.size(), loaded.gameContentList().size());
    ASSERT_TRUE(loaded.Load().ok());
    EXPECT_EQ(loaded.Contents(Shelf::Language).size(), 1u);
    EXPECT_EQ(loaded.Contents(Shelf::Game), games);

    loaded.FillGameShelfFromSelection();
    ASSERT_EQ(loaded.Contents(Shelf::Game).size(), 1u);
    EXPECT_EQ(loaded.Contents(Shelf::Game)[0], saved.Contents(Shelf::Language)[0]);
}

// Each way a load or a save fails, with the kind a front end decides on and the sentence it says.
TEST_F(DefaultFile, EachFailureOfALoadOrASaveHasItsKind) {
    const std::string database = device / "Default.dat";
    struct Case {
        const char* what;
        std::function<Status()> run;
        OutcomeKind kind;
        Message said;
    };
    const std::vector<Case> cases = {
        {"no Default.dat", [&] { return CDefaultXML(device.path()).Load(); },
         OutcomeKind::CardUnreadable, Say(MessageId::CardDatabaseNotRead, database, "")},
        {"no device root", [] { return CDefaultXML().Load(); }, OutcomeKind::CardUnreadable,
         Say(MessageId::NoDevice)},
        {"saved with no card", [] { return CDefaultXML().Save(); }, OutcomeKind::CardUnreadable,
         Say(MessageId::CardRemovedDuringJob)},
        {"saved before it was read",
         [&] { return CDefaultXML(std::make_shared<CardAnchor>(device.path())).Save(); },
         OutcomeKind::Refused, Say(MessageId::CardNotWritten)},
        {"the card pulled",
         [&] {
             auto card = std::make_shared<CardAnchor>(device.path());
             CDefaultXML model(card);
             static_cast<void>(model.Load());
             card->MarkRemoved();
             return model.Save();
         },
         OutcomeKind::CardUnreadable, Say(MessageId::CardRemovedDuringJob)},
        {"the card full",
         [&] {
             CDefaultXML model = SampleModel();
             test::FileSizeLimit full(8);
             return model.Save();
         },
         OutcomeKind::CardFull, Say(MessageId::CardNotWritten)},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(database);
        const Status outcome = c.run();
        EXPECT_EQ(outcome.kind(), c.kind) << c.what;
        EXPECT_EQ(outcome.said(), c.said) << c.what;
    }

    // A file enciphered with another pass phrase is unreadable text to the parser: the sentence
    // names the file and the parser's reason.
    ASSERT_TRUE(SampleModel().Save().ok());
    test::WriteFile(device / "plain", WithoutPadding(DecipherToBytes(device / "Default.dat")));
    ASSERT_TRUE(EncipherFile(device / "plain", device / "Default.dat", "otherpassword12"));
    CDefaultXML model = SampleModel();
    const Status damaged = model.Load();
    EXPECT_EQ(damaged.kind(), OutcomeKind::CardUnreadable);
    EXPECT_EQ(damaged.id(), MessageId::CardDatabaseNotRead);
    ASSERT_EQ(damaged.said().args.size(), 2u);
    EXPECT_EQ(damaged.said().args[0], database);
    EXPECT_FALSE(damaged.said().args[1].empty());
    EXPECT_EQ(damaged.said().args[1].find('\n'), std::string::npos) << "one line";

    // No Default.dat empties the model; no device root leaves it alone.
    std::filesystem::remove(database);
    EXPECT_FALSE(model.Load().ok());
    EXPECT_TRUE(model.Contents(Shelf::Language).empty());
    CDefaultXML untouched;
    untouched.Contents(Shelf::Language) = SampleModel().Contents(Shelf::Language);
    EXPECT_FALSE(untouched.Load().ok());
    EXPECT_EQ(untouched.Contents(Shelf::Language).size(), 1u);
}

TEST_F(DefaultFile, TheDecipheredCopyDoesNotStayInTheTemporaryFolder) {
    ASSERT_TRUE(SampleModel().Save().ok());
    CDefaultXML model{device.path()};
    ASSERT_TRUE(model.Load().ok());
    for (const auto& entry : std::filesystem::directory_iterator(GetTempFolder()))
        EXPECT_EQ(entry.path().filename().string().rfind("Enc" + std::to_string(getpid()) + "-", 0),
                  std::string::npos)
            << entry.path();
}

TEST_F(DefaultFile, AFailedSaveKeepsThePreviousDatabase) {
    ASSERT_TRUE(SampleModel().Save().ok());
    const std::string before = ReadFile(device / "Default.dat");
    CDefaultXML changed{device.path()};
    {
        // The card fills up after the first block of the new database.
        test::FileSizeLimit full(8);
        EXPECT_FALSE(changed.Save().ok());
    }
    EXPECT_EQ(ReadFile(device / "Default.dat"), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(device.path()),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file may stay on the card";
}

// A database of thousands of contents whose values hold what the writer must treat with care:
// syllables only CP949 has, characters it lacks, the five escaped characters, a control
// character and a broken UTF-8 sequence. Its document spans many of the reader's pieces.
CDefaultXML LargeTrickyModel(const std::string& root) {
    static const char* kTitles[] = {
        "\xEB\x8F\x99\xED\x99\x94 \xEB\x82\x98\xEB\x9D\xBC",  // EUC-KR syllables
        "\xEB\x98\xA0 & <\"x\"> 'y'",                         // CP949 only, escapes
        "snow \xE2\x98\x83 and \xF0\x9F\x98\x80",             // outside CP949
        "tab\tbell\x07end",                                   // a control character
        "cut \xEA\xB0",                                       // a broken sequence
        "plain ascii title number",
    };
    static const char* kGroups[][2] = {
        {"language", "normal"}, {"music", "normal"}, {"story", "normal"},    {"book", "series"},
        {"book", "normal"},     {"card", "normal"},  {"excellent", "series"}};
    static const char kLetters[] = {'L', 'M', 'S', 'B', 'B', 'C', 'E'};
    CDefaultXML model(root);
    model.setSystemVersion("2.1");
    model.setSoundType("1");
    model.setSelectedChildNo(7);
    model.setSelectedDiyContentNo("L100007");
    model.diyList() = {"9000003", "9000001", "9000002"};
    model.gameContentList() = {"L100014", "L100007"};
    for (int i = 0; i < 3000; ++i) {
        const int group = i % 7;
        ContentRecord content;
        content.contentNo = kLetters[group] + std::to_string(100000 + (i * 7919) % 3000);
        content.title = kTitles[i % 6] + std::to_string(i);
        content.mainGroup = kGroups[group][0];
        content.subGroup = kGroups[group][1];
        content.date = "2024-03-05T14-07-09";
        content.status = i % 3 == 0 ? "" : "enable";
        for (int f = 0; f < 1 + i % 25; ++f) {
            FileRecord file = File(std::to_string(10000000 + i * 25 + f) + ".qvx",
                                   std::to_string(20000000 + i * 25 + f));
            file.size = i * 1000 + f;
            content.files.push_back(std::move(file));
        }
        model.Contents(*ShelfFor(content.mainGroup, content.subGroup)).push_back(content);
    }
    return model;
}

// Digests of the document and of the enciphered file as the device has always been given them
// (written by the writer that built the whole UTF-8 document and converted it at once).
constexpr std::string_view kLargeDocumentMd5 = "e76476970bff17032b70885f3627dd94";
constexpr std::string_view kLargeFileMd5 = "b34360e4e48adb481ff0cd19bc26d92b";

TEST(LargeDefaultFile, SavesTheSameBytesAsEverAndLoadsBackToThem) {
    TempFolder device;
    CDefaultXML model = LargeTrickyModel(device.path());
    const std::string document = model.SerializeDocument();
    EXPECT_GT(document.size(), 2'000'000u);
    EXPECT_EQ(test::Md5Hex(document), kLargeDocumentMd5);
    ASSERT_TRUE(model.Save().ok());
    EXPECT_EQ(test::Md5Hex(ReadFile(device / "Default.dat")), kLargeFileMd5);

    CDefaultXML loaded(device.path());
    ASSERT_TRUE(loaded.Load().ok());
    std::size_t contents = 0;
    for (const Shelf shelf : kStoredShelves) contents += loaded.Contents(shelf).size();
    EXPECT_EQ(contents, 3000u);
    EXPECT_EQ(loaded.diyList(), model.diyList());
    EXPECT_EQ(test::Md5Hex(loaded.SerializeDocument()), kLargeDocumentMd5);
}

}  // namespace
}  // namespace torvane
