// Checking and repairing a card: each problem made by hand on an installed demo card.
#include "delivery/card_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "common/messages.h"
#include "delivery/card_care.h"
#include "delivery/content_actions.h"
#include "delivery/job_runner.h"
#include "store/card.h"
#include "store/device_files.h"
#include "tests/support/device_fixture.h"
#include "tests/support/files.h"

namespace torvane {

void PrintTo(const CardProblem& problem, std::ostream* out) {
    *out << CardProblemKey(problem.kind) << " " << problem.where << " " << problem.contentNo;
}

namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::Snapshot;
using test::WriteFile;

class CardCheckTest : public test::ServiceFixture {
  protected:
    void SetUp() override {
        ServiceFixture::SetUp();
        for (const char* no : {"L0001", "M0001", "S0001"}) installed.push_back(Content(no));
        ASSERT_TRUE(Runner().Run(DownloadJob(ContentInstallJob{installed, card})).Completed());
        database.SelectDiyContent(database.Contents(Shelf::Language).front());
        CDiyXML diy(Card().string());
        ASSERT_TRUE(diy.Load().ok());
        diy.RecordForCard(92100001)->slots[0] = {"아빠 목소리", "2026-12-10T09-00-00", "dad.mp3"};
        ASSERT_TRUE(diy.SaveDiyFile().ok() && diy.SaveRecTable().ok());
        WriteFile(Card() / "ck9/re1/dad.mp3", "dad's voice");
    }
    ThreadedJobRunner& Runner() {
        if (!runner_)
            runner_ = std::make_unique<ThreadedJobRunner>(session, observer_, space_, nullptr,
                                                          JobTiming::Immediate());
        return *runner_;
    }
    std::vector<CardProblem> Check(const CatalogueSizes* sizes = nullptr) {
        torvane::Card card(Card().string());
        return CheckCard(card, sizes);
    }
    std::vector<ContentRecord> Catalogue() const {
        std::vector<ContentRecord> all;
        for (Shelf shelf : kAllShelves)
            for (const ContentRecord& record : catalogue->Contents(shelf)) all.push_back(record);
        return all;
    }

    std::vector<ContentRecord> installed;
    NullJobObserver observer_;
    test::FixedFreeSpace space_{test::kPlentyOfSpace};
    std::unique_ptr<ThreadedJobRunner> runner_;
};

TEST_F(CardCheckTest, AFreshlyInstalledCardIsSoundAndTheCheckChangesNothing) {
    const auto before = Snapshot(Card());
    EXPECT_EQ(Check(), std::vector<CardProblem>{});
    EXPECT_EQ(Snapshot(Card()), before);
}

TEST_F(CardCheckTest, ProblemsMadeByHandAreEachNamedWithTheirPlace) {
    const fs::path music = Card() / "ck7/00000101.qvx";
    ASSERT_TRUE(fs::exists(music)) << "the demo's first song moved";
    fs::remove(music);                                              // a pulled card
    WriteFile(Card() / "ck8/00000201.qvx", "");                     // a file cut to nothing
    fs::remove(Card() / "ck6/rfid.tbl");                            // a lost game table
    WriteFile(Card() / "ck2/.~rfid.tbl.Ab12Cd", "half a table");    // an interrupted write
    WriteFile(Card() / "_Default.dat", "plain database");           // an older program's staging
    fs::remove(Card() / "ck9/re1/dad.mp3");                         // a recording gone
    WriteFile(Card() / "ck9/re2/stray.mp3", "nobody's recording");  // one no slot names
    WriteFile(Card() / "ck1/ko/00000003.qvx", "a voice");           // with no child chosen
    const auto before = Snapshot(Card());

    const std::vector<CardProblem> problems = Check();

    const std::vector<CardProblem> expected = {
        {CardProblemKind::Leftover, "_Default.dat", ""},
        {CardProblemKind::Leftover, "ck2/.~rfid.tbl.Ab12Cd", ""},
        {CardProblemKind::MissingContentFile, "ck7/00000101.qvx", "M0001"},
        {CardProblemKind::EmptyContentFile, "ck8/00000201.qvx", "S0001"},
        {CardProblemKind::StaleFolderTables, "ck7", ""},
        {CardProblemKind::StaleGameTable, "ck6/rfid.tbl", ""},
        {CardProblemKind::NameVoiceWithoutChild, "ck1", ""},
        {CardProblemKind::MissingRecording, "ck9/re1/dad.mp3", ""},
        {CardProblemKind::UnlistedRecording, "ck9/re2/stray.mp3", ""},
    };
    for (const CardProblem& problem : expected) {
        EXPECT_NE(std::find(problems.begin(), problems.end(), problem), problems.end())
            << CardProblemKey(problem.kind) << " " << problem.where;
    }
    EXPECT_EQ(problems.size(), expected.size());
    EXPECT_EQ(Snapshot(Card()), before) << "a check never changes the card";
}

// What cannot be read or is missing is named by its own file: a recording table with a folder in
// its place, and the name voice of the one language folder that lacks it.
TEST_F(CardCheckTest, AnUnreadableRecordingTableAndAMissingNameVoiceAreNamed) {
    fs::remove(Card() / "ck9/rec.tbl");
    fs::create_directories(Card() / "ck9/rec.tbl");
    database.setSelectedChildNo(101);
    ASSERT_TRUE(database.Save().ok());
    for (const char* language : {"en", "ko", "ch"})
        WriteFile(Card() / "ck1" / language / "00000003.qvx", "a voice");

    const std::vector<CardProblem> expected = {
        {CardProblemKind::NameVoiceIncomplete, "ck1/ja/00000003.qvx", ""},
        {CardProblemKind::UnreadableRecTable, "ck9/rec.tbl", ""},
    };
    EXPECT_EQ(Check(), expected);
}

TEST_F(CardCheckTest, AShortFileIsFoundOnlyAgainstTheCatalogue) {
    const fs::path story = Card() / "ck8/00000201.qvx";
    const std::string whole = ReadFile(story);
    WriteFile(story, whole.substr(0, whole.size() / 2));
    EXPECT_EQ(Check(), std::vector<CardProblem>{});  // nothing to compare with
    CatalogueSizes sizes;
    sizes["S0001"]["00000201.qvx"] = whole.size();
    const auto problems = Check(&sizes);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0],
              (CardProblem{CardProblemKind::ShortContentFile, "ck8/00000201.qvx", "S0001"}));
}

TEST_F(CardCheckTest, RepairMendsWhatItCanAndKeepsFilesItDoesNotKnow) {
    const std::string song = ReadFile(Card() / "ck7/00000101.qvx");
    fs::remove(Card() / "ck7/00000101.qvx");
    fs::remove(Card() / "ck6/rfid.tbl");
    fs::remove(Card() / "ck4/sw.tbl");
    WriteFile(Card() / "ck2/.~rfid.tbl.Ab12Cd", "half a table");
    fs::remove(Card() / "ck9/re1/dad.mp3");
    WriteFile(Card() / "ck9/re2/stray.mp3", "nobody's recording");
    // The card was pulled while a recording went back: its temporary is all that is left of it.
    WriteFile(Card() / "ck1/ko/.~00000003.qvx.Qw12Er", "the name voice");
    fs::remove(Card() / "ck1/ko/00000003.qvx");
    // A file that is there: its temporary is a leftover like any other.
    WriteFile(Card() / "ck9/.~rec.tbl.Zx98Cv", "half a table");
    const std::set<std::string> kept = {"ck9/re2/stray.mp3", "ck1/ko/.~00000003.qvx.Qw12Er"};

    const auto card = std::make_shared<torvane::Card>(Card().string());
    const auto problems = CheckCard(*card, nullptr);
    const auto all = Catalogue();
    const std::vector<RepairStep> steps = RepairCard(*card, problems, &all, &Runner());

    for (const RepairStep& step : steps) {
        EXPECT_EQ(step.mended, !kept.contains(step.problem.where))
            << CardProblemKey(step.problem.kind) << " " << step.problem.where;
    }
    EXPECT_EQ(ReadFile(Card() / "ck7/00000101.qvx"), song);  // downloaded again, +1 as before
    EXPECT_EQ(ReadFile(Card() / "ck9/re2/stray.mp3"), "nobody's recording");
    EXPECT_EQ(ReadFile(Card() / "ck1/ko/.~00000003.qvx.Qw12Er"), "the name voice");
    EXPECT_FALSE(fs::exists(Card() / "ck9/.~rec.tbl.Zx98Cv"));
    std::set<std::string> left;
    for (const CardProblem& problem : Check()) left.insert(problem.where);
    EXPECT_EQ(left, kept);
    CDiyXML diy(Card().string());
    ASSERT_TRUE(diy.Load().ok());
    EXPECT_FALSE(diy.RecordForCard(92100001)->slots[0].InUse());
}

// The desktop app checks and repairs as one job on the engine's thread, signed in: the catalogue
// is fetched there, and the repair's downloads run inside the same job.
TEST_F(CardCheckTest, AsAJobTheCheckReportsAndTheRepairDownloadsWhatIsMissing) {
    const std::string song = ReadFile(Card() / "ck7/00000101.qvx");
    const std::string story = ReadFile(Card() / "ck8/00000201.qvx");
    fs::remove(Card() / "ck7/00000101.qvx");
    WriteFile(Card() / "ck8/00000201.qvx", story.substr(0, 10));  // short only by the catalogue
    fs::remove(Card() / "ck6/rfid.tbl");
    const auto broken = Snapshot(Card());
    const auto run = [&](CardCareJob::Action action, CareReport& report) {
        CardCareJob job;
        job.action = action;
        job.card = std::make_shared<torvane::Card>(Card().string());
        job.report = &report;
        return Runner().Run(DownloadJob(job));
    };

    CareReport checked;
    ASSERT_TRUE(run(CardCareJob::Action::Check, checked).Completed());
    EXPECT_EQ(checked.problems.size(), 4u) << "missing, short, the folder's tables, the games";
    EXPECT_FALSE(checked.Sound());
    EXPECT_FALSE(checked.repairs.has_value());
    EXPECT_EQ(Snapshot(Card()), broken);

    CareReport repaired;
    ASSERT_TRUE(run(CardCareJob::Action::Repair, repaired).Completed());
    EXPECT_TRUE(repaired.Sound()) << ::testing::PrintToString(repaired.Lines());
    EXPECT_EQ(repaired.Lines().front().rfind(kMsgRepaired, 0), 0u);
    EXPECT_EQ(ReadFile(Card() / "ck7/00000101.qvx"), song);
    EXPECT_EQ(ReadFile(Card() / "ck8/00000201.qvx"), story);
    CareReport after;
    ASSERT_TRUE(run(CardCareJob::Action::Check, after).Completed());
    EXPECT_TRUE(after.problems.empty()) << ::testing::PrintToString(after.Lines());
}

}  // namespace
}  // namespace torvane
