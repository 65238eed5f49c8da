#include "store/diy_xml.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "common/text_codec.h"
#include "store/device_clock.h"
#include "tests/support/store_test_support.h"

namespace torvane {
namespace {

using test::DecipherToBytes;
using test::ReadFile;
using test::TempFolder;
using test::WithoutPadding;
using test::WriteFile;

std::string EmptyLine(long card) {
    return std::to_string(card) + "^^ | | | ^^/ck9\r\n";
}

class DiyDatabase : public ::testing::Test {
  protected:
    void SetUp() override { std::filesystem::create_directories(device / "ck9"); }
    void WriteRecTable(std::string_view text) { WriteFile(device / "ck9/rec.tbl", text); }

    TempFolder device;
    ScopedDeviceDate date{"2024-03-05T14-07-09"};
    CDiyXML diy{device.path()};
};

TEST_F(DiyDatabase, ABlankCardLoadsAs1500EmptyCards) {
    ASSERT_TRUE(diy.Load().ok());
    ASSERT_EQ(diy.records().size(), 1500u);
    ASSERT_TRUE(diy.SaveRecTable().ok());
    const std::string table = ReadFile(device / "ck9/rec.tbl");
    EXPECT_EQ(table.substr(0, 2 * EmptyLine(92100001).size()),
              EmptyLine(92100001) + EmptyLine(92100002));
    EXPECT_EQ(table.size(), 1500 * EmptyLine(92100001).size());
    EXPECT_TRUE(table.ends_with(EmptyLine(92101500)));
}

TEST_F(DiyDatabase, RecTableDecidesTheFilesAndKeepsOtherLines) {
    WriteRecTable(
        "first other line\r\n"
        "92100002^^a.mp3| ||b.wav^^/ck9\n\n"
        "second other line\r\n");
    ASSERT_TRUE(diy.Load().ok());
    const DiyRecord* record = diy.RecordForCard(92100002);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->slots[0], (DiySlot{"a.mp3", "2024-03-05T14-07-09", "a.mp3"}));
    EXPECT_EQ(record->slots[1], DiySlot{});
    EXPECT_EQ(record->slots[2], DiySlot{});
    EXPECT_EQ(record->slots[3], (DiySlot{"b.wav", "2024-03-05T14-07-09", "b.wav"}));
    EXPECT_EQ(diy.otherTableLines(),
              (std::vector<std::string>{"first other line", "second other line"}));

    ASSERT_TRUE(diy.SaveRecTable().ok());
    const std::string table = ReadFile(device / "ck9/rec.tbl");
    EXPECT_NE(table.find("92100002^^a.mp3| | |b.wav^^/ck9\r\n"), std::string::npos);
    EXPECT_TRUE(table.ends_with(EmptyLine(92101500) + "first other line\r\nsecond other line\r\n"));
}

TEST_F(DiyDatabase, MergeKeepsNamesAndEmptiesFilesMarkedBySpaces) {
    diy.records().assign(kDiyCardCount, DiyRecord{});
    diy.RecordForCard(92100010)->slots[0] = {"내 목소리", "2023-01-01T00-00-00", "old.mp3"};
    diy.RecordForCard(92100010)->slots[1] = {"노래", "2023-01-01T00-00-00", "song.mp3"};
    diy.RecordForCard(92100010)->slots[2] = {"그대로", "2023-01-01T00-00-00", "keep.mp3"};
    ASSERT_TRUE(diy.SaveDiyFile().ok());
    WriteRecTable("92100010^^new.mp3| ||x.wav^^/ck9\r\n");
    ASSERT_TRUE(diy.Load().ok());
    const DiyRecord& record = *diy.RecordForCard(92100010);
    EXPECT_EQ(record.slots[0], (DiySlot{"내 목소리", "2023-01-01T00-00-00", "new.mp3"}));
    EXPECT_EQ(record.slots[1], (DiySlot{"노래", "2023-01-01T00-00-00", ""}));
    EXPECT_EQ(record.slots[2], (DiySlot{"그대로", "2023-01-01T00-00-00", "keep.mp3"}));
    EXPECT_EQ(record.slots[3], (DiySlot{"x.wav", "2024-03-05T14-07-09", "x.wav"}));

    // A slot in use without a file is a space in the table the device reads.
    ASSERT_TRUE(diy.SaveRecTable().ok());
    EXPECT_NE(ReadFile(device / "ck9/rec.tbl").find("92100010^^new.mp3| |keep.mp3|x.wav^^/ck9"),
              std::string::npos);
}

TEST_F(DiyDatabase, LinesOutsideTheDiyCardsNeverReachTheRecords) {
    std::string table =
        "92100000^^a| | | ^^/ck9\r\n92101501^^b| | | ^^/ck9\r\n"
        "99210000^^c| | | ^^/ck9\r\n92101500^^last.mp3| | | ^^/ck9\r\n";
    for (int i = 0; i < 1600; ++i) table += "other " + std::to_string(i) + "\r\n";
    WriteRecTable(table);
    ASSERT_TRUE(diy.Load().ok());
    ASSERT_EQ(diy.records().size(), 1500u);
    EXPECT_EQ(diy.RecordForCard(92101500)->slots[0].file, "last.mp3");
    EXPECT_EQ(diy.RecordForCard(92100000), nullptr);
    EXPECT_EQ(diy.RecordForCard(92101501), nullptr);
    for (const DiyRecord& record : diy.records())
        for (const DiySlot& slot : record.slots) EXPECT_NE(slot.file, "a");
    ASSERT_EQ(diy.otherTableLines().size(), 1500u);
    EXPECT_EQ(diy.otherTableLines().back(), "other 1499");
}

TEST_F(DiyDatabase, ABrokenDiyLineEndsTheMerge) {
    WriteRecTable("92100001^^a.mp3|b.mp3^^/ck9\r\n92100002^^c.mp3| | | ^^/ck9\r\nlater\r\n");
    ASSERT_TRUE(diy.Load().ok());
    EXPECT_EQ(diy.RecordForCard(92100001)->slots[0].file, "");
    EXPECT_EQ(diy.RecordForCard(92100002)->slots[0].file, "");
    EXPECT_TRUE(diy.otherTableLines().empty());
}

TEST_F(DiyDatabase, DiyFileKeepsNamesAndFilesWithMarkupAndKoreanText) {
    diy.records().assign(kDiyCardCount, DiyRecord{});
    // "똠" and "햏" need CP949's extension; "😀" needs a character reference.
    const DiySlot slot{"\"똠 & 햏\" <😀> 'x' &#38;", "2024-01-02T03-04-05", "a&b<c>.mp3"};
    diy.records()[0].slots[3] = slot;
    diy.records()[1499].slots[0] = {"끝", "2024-01-02T03-04-05", "z.wav"};
    ASSERT_TRUE(diy.SaveDiyFile().ok());
    EXPECT_FALSE(std::filesystem::exists(device / "_Diy.dat"));
    const std::string plain = WithoutPadding(DecipherToBytes(device / "Diy.dat"));
    EXPECT_TRUE(plain.starts_with(
        "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n<d><t><r d=\"\" n=\"\"></r>"));
    EXPECT_NE(
        plain.find(
            "<r d=\"2024-01-02T03-04-05\" n=\"&quot;" + Utf8ToCp949("똠") + " &amp; " +
            Utf8ToCp949("햏") +
            "&quot; &lt;&#128512;&gt; &apos;x&apos; &amp;#38;\">a&amp;b&lt;c&gt;.mp3</r></t>"),
        std::string::npos);

    CDiyXML loaded{device.path()};
    ASSERT_TRUE(loaded.Load().ok());
    ASSERT_EQ(loaded.records().size(), 1500u);
    EXPECT_EQ(loaded.records()[0].slots[3], slot);
    EXPECT_EQ(loaded.records()[1499].slots[0].name, "끝");
    EXPECT_EQ(loaded.records(), diy.records());
}

TEST_F(DiyDatabase, DamagedDiyFileFailsTheLoad) {
    test::EncipherBytes(device / "Diy.dat", "<?xml version=\"1.0\"?>\n<d><t><r d=\"1\"");
    const Status damaged = diy.Load();
    EXPECT_EQ(damaged.kind(), OutcomeKind::CardUnreadable);
    EXPECT_EQ(damaged.id(), MessageId::CardDiyNotRead);
    ASSERT_EQ(damaged.said().args.size(), 2u);
    EXPECT_FALSE(damaged.said().args[1].empty()) << "the parser's reason";
    CDiyXML noCard;
    EXPECT_EQ(noCard.Load().said(), Say(MessageId::NoDevice));
    EXPECT_EQ(noCard.SaveRecTable().kind(), OutcomeKind::CardUnreadable);
}

// A Diy.dat of a few cards (written by another program, or cut short by hand) still gives the
// device's 1500: the next save of rec.tbl must not drop the other cards' lines.
TEST_F(DiyDatabase, AShortDiyFileStillHoldsAll1500Cards) {
    test::EncipherBytes(device / "Diy.dat",
                        "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n<d><t><r d=\"2024\" "
                        "n=\"one\">one.mp3</r><r/><r/><r/></t></d>");
    ASSERT_TRUE(diy.Load().ok());
    ASSERT_EQ(diy.records().size(), 1500u);
    EXPECT_EQ(diy.records()[0].slots[0].file, "one.mp3");
    ASSERT_TRUE(diy.SaveRecTable().ok());
    const std::string table = ReadFile(device / "ck9/rec.tbl");
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 1500);
    EXPECT_NE(table.find(EmptyLine(92101500)), std::string::npos);
}

// Only a missing Diy.dat means a card without recordings; one that cannot be read keeps the
// names of the recordings and must not be replaced by an empty one.
TEST_F(DiyDatabase, AnUnreadableDiyFileIsNotTakenForAMissingOne) {
    std::filesystem::create_directory(device / "Diy.dat");  // there, but no file to read
    EXPECT_FALSE(diy.Load().ok());
    EXPECT_TRUE(diy.records().empty());
}

// Names XML cannot carry, from a rename, a recording's file name or a rec.tbl line: the saved
// Diy.dat still loads, and every other card keeps what it had.
TEST_F(DiyDatabase, NamesXmlCannotCarryNeverMakeTheDiyFileUnreadable) {
    const std::string names[] = {
        "bell\x01",    "tab\there", "\x1b[31mred", "half\xED\xA0\x80", "nonchar\xEF\xBF\xBE",
        "cut\xE2\x82", "\xFF\xFE",  "a<b>&\"'"};
    for (const std::string& name : names) {
        ASSERT_TRUE(diy.Load().ok());
        diy.records()[0].slots[0] = DiySlot{name, "2024-03-05T14-07-09", name + ".mp3"};
        diy.records()[1].slots[1] = DiySlot{"keep", "2024-03-05T14-07-09", "keep.mp3"};
        ASSERT_TRUE(diy.SaveDiyFile().ok());
        CDiyXML loaded(device.path());
        ASSERT_TRUE(loaded.Load().ok()) << " for " << name;
        EXPECT_TRUE(loaded.records()[0].slots[0].InUse());
        EXPECT_EQ(loaded.records()[1].slots[1].name, "keep");
    }
    // The same names arriving as rec.tbl lines.
    for (const std::string& name : names) {
        WriteRecTable("92100001^^" + name + "| | | ^^/ck9\r\n");
        ASSERT_TRUE(diy.Load().ok());
        ASSERT_TRUE(diy.SaveDiyFile().ok());
        CDiyXML loaded(device.path());
        EXPECT_TRUE(loaded.Load().ok()) << " for " << name;
        std::filesystem::remove(device / "Diy.dat");
    }
}

// A name holding a control character reads back from Diy.dat as something else (a tab as a blank,
// found by fuzzing), so every way a name comes in stores it as it will read back: a rec.tbl file
// name, and a character reference in Diy.dat.
TEST_F(DiyDatabase, ControlCharactersInNamesAreBlanksWhereverNamesComeIn) {
    struct Case {
        std::string entering;
        std::string stored;
    };
    // A line feed or carriage return ends a rec.tbl line: those come in by Diy.dat below.
    const Case cases[] = {{"a\tb", "a b"},
                          {"bell\x07", "bell "},
                          {"del\x7f!", "del !"},
                          {"unit\x1fsep", "unit sep"},
                          {"plain name", "plain name"}};
    for (const Case& c : cases) {
        WriteRecTable("92100001^^" + c.entering + ".mp3| | | ^^/ck9\r\n");
        ASSERT_TRUE(diy.Load().ok());
        EXPECT_EQ(diy.records()[0].slots[0].name, c.stored + ".mp3") << c.entering;
        ASSERT_TRUE(diy.SaveDiyFile().ok());
        CDiyXML loaded(device.path());
        ASSERT_TRUE(loaded.Load().ok());
        EXPECT_EQ(loaded.records()[0].slots[0].name, c.stored + ".mp3") << c.entering;
        std::filesystem::remove(device / "Diy.dat");
    }
    const std::pair<std::string, std::string> references[] = {
        {"a&#9;b", "a b"}, {"two&#10;lines", "two lines"}, {"cr&#13;here", "cr here"}};
    for (const auto& [written, stored] : references) {
        CDiyXML model;
        const std::string document =
            "<d><t><r d=\"2024-03-05T14-07-09\" n=\"" + written + "\">f.mp3</r></t></d>";
        ASSERT_TRUE(model.ReadDocuments(document, "").ok());
        EXPECT_EQ(model.records()[0].slots[0].name, stored) << written;
        CDiyXML reloaded;
        ASSERT_TRUE(reloaded.ReadDocuments(model.SerializeDiyDocument(), "").ok());
        EXPECT_EQ(reloaded.records()[0].slots[0].name, stored) << written;
    }
}

// A rec.tbl file name that is not CP949 (found by fuzzing): Diy.dat and rec.tbl name the slot's
// file alike, so the next load does not see two different files.
TEST_F(DiyDatabase, BothFilesNameASlotsFileAlike) {
    WriteRecTable("92100001^^ | |9\xEF\xBF\xBD | ^^/ck9\r\n");
    ASSERT_TRUE(diy.Load().ok());
    ASSERT_TRUE(diy.SaveDiyFile().ok());
    ASSERT_TRUE(diy.SaveRecTable().ok());
    CDiyXML loaded(device.path());
    ASSERT_TRUE(loaded.Load().ok());
    EXPECT_EQ(loaded.SerializeDiyDocument(), diy.SerializeDiyDocument());
    EXPECT_EQ(loaded.SerializeRecTable(), diy.SerializeRecTable());
}

TEST_F(DiyDatabase, AFailedRecTableWriteKeepsThePreviousTable) {
    WriteRecTable("previous\r\n");
    ASSERT_TRUE(diy.Load().ok());
    {
        test::FileSizeLimit full(4096);  // the new table is about 30 KB
        EXPECT_EQ(diy.SaveRecTable().kind(), OutcomeKind::CardFull);
    }
    EXPECT_EQ(ReadFile(device / "ck9/rec.tbl"), "previous\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(device / "ck9"),
                            std::filesystem::directory_iterator()),
              1);
}

}  // namespace
}  // namespace torvane
