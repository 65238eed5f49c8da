// The rules of the content page's transfer, delete, game and DIY choice actions.
#include "delivery/content_actions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>

#include "base/outcome_telling.h"
#include "common/messages.h"
#include "store/default_xml.h"
#include "store/device_files.h"
#include "tests/support/device_fixture.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::WriteFile;

// Records the job it is given and reports it as the test says.
class FakeRunner final : public IJobRunner {
  public:
    JobOutcome Run(DownloadJob job) override {
        JobOutcome told = outcome;
        if (const auto* install = std::get_if<ContentInstallJob>(&job.kind); install && !failing)
            for (const ContentRecord& content : install->contents)
                told.addedContentNos.push_back(content.contentNo);
        jobs.push_back(std::move(job));
        return told;
    }
    bool failing = false;  // the job completes without installing its contents
    std::vector<DownloadJob> jobs;
    JobOutcome outcome{.status = Status::Ok()};
};

std::vector<std::string> NumbersOf(const std::vector<ContentRecord>& records) {
    std::vector<std::string> numbers;
    for (const auto& r : records) numbers.push_back(r.contentNo);
    return numbers;
}

// A card with installed contents whose files are on it.
class ContentActionsTest : public test::CardFixture {
  protected:
    ContentRecord Installed(const std::string& no, const std::string& kind,
                            const std::string& subGroup, const std::string& file) {
        ContentRecord record;
        record.contentNo = no;
        record.title = "title " + no;
        record.mainGroup = kind;
        record.subGroup = subGroup;
        FileRecord f;
        f.name = file;
        f.language = "ko";
        f.folderType = "word";
        f.rfidCardId = "77" + no.substr(1);
        f.size = 4;
        record.files.push_back(f);
        EXPECT_TRUE(database.AddContent(record));
        const std::string folder(*FolderForType(kind));
        WriteFile(kind == "music" || kind == "story" ? Card() / folder / file
                                                     : Card() / folder / "ko/word" / file,
                  "data");
        EXPECT_TRUE(database.Save().ok());
        return record;
    }
    // The installed record as the shelf holds it.
    ContentRecord OnShelf(Shelf shelf, const std::string& no) {
        for (const auto& r : database.Contents(shelf)) {
            if (r.contentNo == no) return r;
        }
        ADD_FAILURE() << no;
        return {};
    }
    torvane::Card& Context() { return *card; }
    // What a page does with an outcome: tells it through the sink.
    bool Told(const Status& outcome) {
        TellOutcome(sink, outcome);
        return outcome.ok();
    }
    template <typename Outcome>
    Outcome Told(Outcome outcome) {
        TellOutcome(sink, outcome.status);
        return outcome;
    }
};

TEST_F(ContentActionsTest, TransferSkipsInstalledContentsAndKeepsTheOrder) {
    Installed("M0001", "music", "single", "00000101.qvx");
    ContentRecord a, b, c;
    a.contentNo = "M0003", a.mainGroup = "music", a.subGroup = "single";
    b.contentNo = "M0001", b.mainGroup = "music", b.subGroup = "single";
    c.contentNo = "M0002", c.mainGroup = "music", c.subGroup = "single";
    FakeRunner runner;

    const TransferOutcome first = Told(TransferContents({a, b, c}, false, Context(), runner));
    EXPECT_EQ(first.skipped, std::vector<std::string>{"M0001"});
    ASSERT_EQ(runner.jobs.size(), 1u);
    const auto* install = std::get_if<ContentInstallJob>(&runner.jobs[0].kind);
    ASSERT_NE(install, nullptr);
    EXPECT_EQ(install->card, card);
    EXPECT_EQ(NumbersOf(install->contents), (std::vector<std::string>{"M0003", "M0002"}));
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{std::string(kMsgDownloadDone)});

    Told(TransferContents({a, b, c}, true, Context(), runner));
    EXPECT_EQ(NumbersOf(std::get<ContentInstallJob>(runner.jobs[1].kind).contents),
              (std::vector<std::string>{"M0003", "M0001", "M0002"}));

    // A job that completed without installing everything says it failed, not that it is done.
    sink.shown.clear();
    runner.failing = true;
    Told(TransferContents({a}, false, Context(), runner));
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{std::string(kMsgJobFailed)});
    runner.failing = false;

    // A cancelled job, or one that stopped saying why itself, is told nothing more by the page;
    // its kind stays. Nothing to do tells so.
    sink.shown.clear();
    for (const Status& stopped :
         {Status::Failure(OutcomeKind::Cancelled, Message{}),
          Status::Failure(OutcomeKind::CardFull, Say(MessageId::NotEnoughSpace))}) {
        runner.outcome.status = stopped;
        const TransferOutcome told = Told(TransferContents({a}, false, Context(), runner));
        EXPECT_EQ(told.status.kind(), stopped.kind());
        EXPECT_EQ(told.status.id(), MessageId::None);
    }
    EXPECT_TRUE(sink.shown.empty());
    // Only contents already on the card: no job, no message, and the caller learns which.
    EXPECT_EQ(Told(TransferContents({b}, false, Context(), runner)).skipped,
              std::vector<std::string>{"M0001"});
    EXPECT_EQ(runner.jobs.size(), 5u);
    EXPECT_TRUE(sink.shown.empty());
    Told(TransferContents({}, false, Context(), runner));
    EXPECT_EQ(runner.jobs.size(), 5u);
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{std::string(kMsgNothingSelected)});
}

TEST_F(ContentActionsTest, DeletingMusicRemovesFilesRecordsAndRebuildsTheTables) {
    const auto first = Installed("M0001", "music", "single", "00000101.qvx");
    Installed("M0002", "music", "single", "00000111.qvx");
    const auto third = Installed("M0003", "music", "single", "00000121.qvx");
    const std::string tablesBefore = ReadFile(Card() / "ck7/rfid.tbl");

    EXPECT_TRUE(Told(DeleteContents(
        Shelf::Music, {OnShelf(Shelf::Music, "M0001"), OnShelf(Shelf::Music, "M0003")},
        Context())));

    EXPECT_FALSE(fs::exists(Card() / "ck7/00000101.qvx"));
    EXPECT_FALSE(fs::exists(Card() / "ck7/00000121.qvx"));
    EXPECT_TRUE(fs::exists(Card() / "ck7/00000111.qvx"));
    EXPECT_NE(ReadFile(Card() / "ck7/rfid.tbl"), tablesBefore);
    EXPECT_EQ(NumbersOf(Reloaded().Contents(Shelf::Music)), std::vector<std::string>{"M0002"});
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{std::string(kMsgDeleted)});
    (void)first;
    (void)third;
}

TEST_F(ContentActionsTest, DeletingOnTheExcellentSeriesSubTabUsesTheSeriesShelf) {
    Installed("E0001", "excellent", "series", "00000601.qvx");
    Installed("E0002", "excellent", "single", "00000611.qvx");
    EXPECT_TRUE(Told(DeleteContents(Shelf::ExcellentSeries,
                                    {OnShelf(Shelf::ExcellentSeries, "E0001")}, Context())));
    const CDefaultXML reloaded = Reloaded();
    EXPECT_TRUE(reloaded.Contents(Shelf::ExcellentSeries).empty());
    EXPECT_EQ(reloaded.Contents(Shelf::Excellent).size(), 1u);
    EXPECT_FALSE(fs::exists(Card() / "ck11/ko/word/00000601.qvx"));
}

TEST_F(ContentActionsTest, LanguageGuardsKeepTheDiyContentAndTheGames) {
    const auto diyContent = Installed("L0001", "language", "single", "00000001.qvx");
    const auto game = Installed("L0002", "language", "single", "00000011.qvx");
    const auto plain = Installed("L0003", "language", "single", "00000021.qvx");
    database.setSelectedDiyContentNo("L0001");
    ASSERT_TRUE(database.AddGameSelection(OnShelf(Shelf::Language, "L0002")));
    const std::string before = ReadFile(Card() / "Default.dat");

    struct Case {
        std::vector<ContentRecord> ticked;
        MessageId why;
        std::string_view message;
        MessageKind kind;
    };
    for (const Case& c :
         {Case{{plain, diyContent},
               MessageId::DiyNotDeletable,
               kMsgDiyNotDeletable,
               MessageKind::Exclamation},
          Case{{plain, game},
               MessageId::GameContentNotDeleted,
               kMsgGameContentNotDeleted,
               MessageKind::Information},
          Case{{}, MessageId::NothingSelected, kMsgNothingSelected, MessageKind::Information}}) {
        sink.shown.clear();
        const Status refused = DeleteContents(Shelf::Language, c.ticked, Context());
        EXPECT_EQ(refused.kind(), OutcomeKind::Refused);
        EXPECT_EQ(refused.said(), Say(c.why));
        EXPECT_FALSE(Told(refused));
        ASSERT_EQ(sink.shown.size(), 1u);
        EXPECT_EQ(sink.shown[0].second, c.message);
        EXPECT_EQ(sink.shown[0].first, c.kind);
        EXPECT_EQ(ReadFile(Card() / "Default.dat"), before);
        EXPECT_TRUE(fs::exists(Card() / "ck2/ko/word/00000021.qvx"));
    }
    EXPECT_TRUE(Told(DeleteContents(Shelf::Language, {plain}, Context())));
    EXPECT_FALSE(fs::exists(Card() / "ck2/ko/word/00000021.qvx"));
    EXPECT_EQ(Reloaded().Contents(Shelf::Language).size(), 2u);
}

TEST_F(ContentActionsTest, GamesAreAddedUntilOneIsChosenAndTheLastOneStays) {
    std::vector<ContentRecord> languages;
    for (const char* no : {"L0001", "L0002", "L0003"}) {
        Installed(no, "language", "single", std::string("0000") + no[4] + ".qvx");
        languages.push_back(OnShelf(Shelf::Language, no));
    }
    EXPECT_EQ(Told(AddToGameSelection({languages[0], languages[1]}, Context())).added, 2);
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{std::string(kMsgDownloadDone)});
    // The walk ends at the first content already chosen.
    EXPECT_EQ(Told(AddToGameSelection({languages[1], languages[2]}, Context())).added, 0);
    EXPECT_EQ(Told(AddToGameSelection({languages[2]}, Context())).added, 1);
    EXPECT_EQ(Reloaded().gameContentList(), (std::vector<std::string>{"L0001", "L0002", "L0003"}));

    sink.shown.clear();
    const auto games = database.Contents(Shelf::Game);
    EXPECT_FALSE(Told(DeleteContents(Shelf::Game, games, Context())));
    EXPECT_EQ(sink.Texts(), std::vector<std::string>{std::string(kMsgOneGameRequired)});
    EXPECT_TRUE(Told(DeleteContents(Shelf::Game, {games[0], games[2]}, Context())));
    EXPECT_EQ(Reloaded().gameContentList(), std::vector<std::string>{"L0002"});
    // Games have no files of their own: the language content stays on the card.
    EXPECT_TRUE(fs::exists(Card() / "ck2/ko/word/00001.qvx"));
    EXPECT_EQ(Reloaded().Contents(Shelf::Language).size(), 3u);
}

// A book series and a single book sharing cards: deleting one keeps the files the other lists.
TEST_F(ContentActionsTest, DeletingKeepsFilesAnotherContentStillLists) {
    Installed("B0001", "book", "series", "00000301.qvx");
    Installed("B0002", "book", "single", "00000301.qvx");
    Installed("B0003", "book", "single", "00000311.qvx");
    EXPECT_TRUE(
        Told(DeleteContents(Shelf::BookSeries, {OnShelf(Shelf::BookSeries, "B0001")}, Context())));
    EXPECT_TRUE(fs::exists(Card() / "ck3/ko/word/00000301.qvx"));
    EXPECT_TRUE(Told(DeleteContents(Shelf::Book, {OnShelf(Shelf::Book, "B0002")}, Context())));
    EXPECT_FALSE(fs::exists(Card() / "ck3/ko/word/00000301.qvx"));
    EXPECT_TRUE(fs::exists(Card() / "ck3/ko/word/00000311.qvx"));
}

// A card that takes no write (write-protected, full, pulled): every action says so, never its
// sentence of success, and the card keeps what it had.
TEST_F(ContentActionsTest, ACardThatTakesNoWriteIsNeverReportedAsChanged) {
    const auto music = Installed("M0001", "music", "single", "00000101.qvx");
    std::vector<ContentRecord> languages;
    for (const char* no : {"L0001", "L0002", "L0003"}) {
        Installed(no, "language", "single", std::string("0000") + no[4] + ".qvx");
        languages.push_back(OnShelf(Shelf::Language, no));
    }
    ASSERT_TRUE(database.AddGameSelection(languages[0]));
    ASSERT_TRUE(database.AddGameSelection(languages[1]));
    const auto before = test::Snapshot(Card());
    const std::string modelBefore = database.SerializeDocument();
    const std::vector<std::string> gamesBefore = NumbersOf(database.Contents(Shelf::Game));
    const struct {
        const char* action;
        std::function<bool()> run;
    } cases[] = {
        {"delete", [&] { return Told(DeleteContents(Shelf::Music, {music}, Context())); }},
        {"game add",
         [&] { return Told(AddToGameSelection({languages[2]}, Context())).status.ok(); }},
        {"game remove",
         [&] {
             return Told(DeleteContents(Shelf::Game, {OnShelf(Shelf::Game, "L0001")}, Context()));
         }},
        {"diy select", [&] { return Told(ChooseDiyContent(languages[2], Context())); }},
    };
    for (const auto& c : cases) {
        sink.Clear();
        CardFaults::FailAfter(0);
        const bool changed = c.run();
        CardFaults::Clear();
        EXPECT_FALSE(changed) << c.action;
        EXPECT_EQ(sink.Texts(), std::vector<std::string>{std::string(kMsgCardNotWritten)})
            << c.action;
        ASSERT_FALSE(sink.shown.empty());
        EXPECT_EQ(sink.shown[0].first, MessageKind::Error) << c.action;
        EXPECT_EQ(test::Snapshot(Card()), before) << c.action;
        // The model is as the card: a later save never writes a change whose files stayed.
        EXPECT_EQ(database.SerializeDocument(), modelBefore) << c.action;
        EXPECT_EQ(NumbersOf(database.Contents(Shelf::Game)), gamesBefore) << c.action;
    }
}

// The card as the window opens it when it is attached: the DIY radio of a content that is not
// a game rewrites the DIY table and leaves the game table as the chosen games make it.
TEST_F(ContentActionsTest, ADiyChoiceRightAfterTheCardIsOpenedKeepsTheGameTable) {
    for (const char* no : {"L0001", "L0002", "L0003"})
        Installed(no, "language", "single", std::string("0000") + no[4] + ".qvx");
    ASSERT_TRUE(database.AddGameSelection(OnShelf(Shelf::Language, "L0001")));
    ASSERT_TRUE(database.AddGameSelection(OnShelf(Shelf::Language, "L0002")));
    const std::string gameTable = test::ReadFile(Card() / "ck6/rfid.tbl");

    const auto attached = std::make_shared<torvane::Card>(Card().string());
    ASSERT_TRUE(attached->LoadDatabase().ok());
    const ContentRecord third = attached->database().Contents(Shelf::Language).at(2);
    ASSERT_TRUE(Told(ChooseDiyContent(third, *attached)));
    EXPECT_EQ(test::ReadFile(Card() / "ck6/rfid.tbl"), gameTable);
    EXPECT_EQ(Reloaded().selectedDiyContentNo(), "L0003");
}

// A card handed out by detection whose databases were never read is never written: saving it
// would leave a Default.dat, Diy.dat or table that holds only what this program added.
TEST_F(ContentActionsTest, ACardsDatabasesAreNeverSavedBeforeTheyWereRead) {
    Installed("M0001", "music", "single", "00000101.qvx");
    const auto before = test::Snapshot(Card());
    const auto unread = std::make_shared<torvane::Card>(Card().string());
    const struct {
        const char* what;
        std::function<bool()> save;
    } saves[] = {
        {"Default.dat", [&] { return unread->database().Save().ok(); }},
        {"game table", [&] { return unread->database().RebuildGameTable(); }},
        {"DIY table", [&] { return unread->database().RebuildDiyContentTable(); }},
        {"Diy.dat", [&] { return unread->diy().SaveDiyFile().ok(); }},
        {"rec.tbl", [&] { return unread->diy().SaveRecTable().ok(); }},
    };
    for (const auto& s : saves) EXPECT_FALSE(s.save()) << s.what;
    EXPECT_EQ(test::Snapshot(Card()), before);
    ASSERT_TRUE(unread->LoadDatabase().ok() && unread->LoadDiy().ok());
    for (const auto& s : saves) EXPECT_TRUE(s.save()) << s.what;
}

TEST_F(ContentActionsTest, ChoosingTheDiyContentAgainStillRebuildsItsTable) {
    const auto content = Installed("L0001", "language", "single", "00000001.qvx");
    for (int i = 0; i < 2; ++i) {
        fs::remove(Card() / "ck4/rfid.tbl");
        Told(ChooseDiyContent(OnShelf(Shelf::Language, "L0001"), Context()));
        EXPECT_TRUE(fs::exists(Card() / "ck4/rfid.tbl"));
    }
    EXPECT_EQ(Reloaded().selectedDiyContentNo(), "L0001");
    EXPECT_EQ(sink.Texts(), (std::vector<std::string>(2, std::string(kMsgDiyChanged))));
    (void)content;
}

TEST(ContentKinds, EveryShelfBelongsToOneKindThatFilesBackOntoIt) {
    for (Shelf shelf : kAllShelves) {
        const ContentKind& kind = KindOfShelf(shelf);
        const bool series = kind.seriesShelf == shelf;
        EXPECT_EQ(ShelfFor(kind.name, series ? "series" : "single"), shelf) << ShelfKey(shelf);
        EXPECT_EQ(ShelfForContentNo(std::string(1, kind.numberLetter) + "0001",
                                    series ? "series" : "single"),
                  shelf)
            << ShelfKey(shelf);
    }
    // Each kind with files has a folder of its own on the card.
    std::set<std::string_view> folders;
    for (const ContentKind& kind : kContentKinds) {
        if (kind.folder.empty()) continue;
        EXPECT_TRUE(folders.insert(kind.folder).second) << kind.name;
    }
    EXPECT_EQ(FindKind("game")->folder, "");
    EXPECT_EQ(FindKind("quiz"), nullptr);
}

}  // namespace
}  // namespace torvane
