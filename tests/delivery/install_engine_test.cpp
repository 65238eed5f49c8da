// The content mode of the install engine against the local content service and a card folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <thread>

#include "base/drive_detector.h"
#include "common/messages.h"
#include "common/temp_folder.h"
#include "common/text_codec.h"
#include "delivery/download_worker.h"
#include "delivery/folder_tree.h"
#include "store/card.h"
#include "store/device_files.h"
#include "store/device_setup.h"
#include "tests/support/device_fixture.h"
#include "tests/support/fixed_drives.h"
#include "tests/support/store_test_support.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;
using test::FixedFreeSpace;
using test::kPlentyOfSpace;
using test::ReadFile;

class ScriptedObserver final : public IJobObserver {
  public:
    void OnProgress(const JobProgress& progress) override {
        last = progress;
        if (onProgress) onProgress(progress);
    }
    void OnStorageChanged() override { ++storageChanges; }
    void OnFinished(const JobOutcome& outcome) override { finished.push_back(outcome); }

    std::function<void(const JobProgress&)> onProgress;
    JobProgress last;
    int storageChanges = 0;
    std::vector<JobOutcome> finished;
};

// Where a catalogue file lands on the card.
fs::path CardPathOf(const fs::path& card, const ContentRecord& content, const FileRecord& file) {
    std::string name = ToLowerAscii(file.name);
    name.replace(name.rfind(".mp3"), 4, ".qvx");
    const std::string folder(*FolderForType(content.mainGroup));
    if (content.mainGroup == "music" || content.mainGroup == "story") return card / folder / name;
    return card / folder / file.language / file.folderType / name;
}

std::string PlusOne(std::string bytes) {
    for (char& c : bytes) c = static_cast<char>(static_cast<unsigned char>(c) + 1);
    return bytes;
}

bool AnyFileNamed(const fs::path& top, std::string_view part) {
    for (const auto& entry : fs::recursive_directory_iterator(top)) {
        if (entry.path().filename().string().find(part) != std::string::npos) return true;
    }
    return false;
}

// How a job ended: its kind and the sentence it names (None: no sentence of its own). The engine
// says nothing while it runs: what the user hears is in the outcome.
void ExpectEnd(const JobOutcome& outcome, OutcomeKind kind, Message said = {}) {
    EXPECT_EQ(outcome.status.kind(), kind) << outcome.status.message();
    EXPECT_EQ(outcome.status.said(), said) << outcome.status.message();
}

class InstallEngineTest : public test::ServiceFixture {
  protected:
    JobOutcome Install(const std::vector<ContentRecord>& contents,
                       std::uint64_t freeBytes = kPlentyOfSpace) {
        DownloadJob job(ContentInstallJob{contents, card}, JobTiming::Immediate());
        FixedFreeSpace space(freeBytes);
        worker = std::make_unique<DownloadWorker>(std::move(job), session, observer, space);
        worker->Start();
        worker->Wait();
        return worker->Outcome();
    }
    std::vector<ContentRecord> Contents(std::initializer_list<const char*> numbers) const {
        std::vector<ContentRecord> records;
        for (const char* no : numbers) records.push_back(Content(no));
        return records;
    }
    // A job stages in a folder of its own and removes it when it ends.
    static bool NoStagingLeft() {
        for (const auto& entry : fs::directory_iterator(GetTempFolder())) {
            if (entry.path().filename().string().rfind("job.", 0) == 0) return false;
        }
        return true;
    }

    ScriptedObserver observer;
    std::unique_ptr<DownloadWorker> worker;
};

TEST_F(InstallEngineTest, InstallsContentsOfEveryKindByteForByte) {
    const auto contents = Contents({"L0001", "M0002", "S0001", "B0001", "C0002", "E0001"});
    const JobOutcome outcome = Install(contents);

    ASSERT_TRUE(outcome.status.ok()) << outcome.status.message();
    EXPECT_EQ(outcome.status.id(), MessageId::None) << "the page says the sentence of success";
    EXPECT_TRUE(outcome.status.notes().empty());
    EXPECT_EQ(outcome.addedContentNos,
              (std::vector<std::string>{"L0001", "M0002", "S0001", "B0001", "C0002", "E0001"}));
    const CDefaultXML reloaded = Reloaded();
    for (const ContentRecord& content : contents) {
        EXPECT_TRUE(reloaded.FindContent(content.subGroup, content.mainGroup, content.contentNo))
            << content.contentNo;
        const fs::path folder = Card() / std::string(*FolderForType(content.mainGroup));
        EXPECT_GT(fs::file_size(folder / "rfid.tbl"), 0u) << folder;
        EXPECT_GT(fs::file_size(folder / "sw.tbl"), 0u) << folder;
        for (const FileRecord& file : content.files) {
            EXPECT_EQ(ReadFile(CardPathOf(Card(), content, file)), PlusOne(Served(file.fileUrl)))
                << file.name;
        }
    }
    // "00000002.MP3" of the catalogue is stored under its lower-case device name.
    EXPECT_TRUE(fs::exists(Card() / "ck2/en/word/00000002.qvx"));
    EXPECT_FALSE(AnyFileNamed(Card(), ".mp3") || AnyFileNamed(Card(), ".MP3"));
    EXPECT_EQ(observer.last.status, kMsgDownloadDone);
    EXPECT_EQ(observer.last.overallDone, observer.last.overallTotal);
    EXPECT_EQ(observer.storageChanges, 1);
    ASSERT_EQ(observer.finished.size(), 1u);
    EXPECT_TRUE(NoStagingLeft());
}

TEST_F(InstallEngineTest, CancelDuringTheSecondOfThreeKeepsTheFirstOnly) {
    const auto contents = Contents({"M0001", "S0001", "B0002"});
    const std::string second = "'" + contents[1].title + "' 다운로드중";
    observer.onProgress = [&](const JobProgress& progress) {
        if (progress.status == second && progress.itemDone > 0) worker->Cancel();
    };
    const JobOutcome outcome = Install(contents);

    ExpectEnd(outcome, OutcomeKind::Cancelled);
    EXPECT_EQ(outcome.addedContentNos, std::vector<std::string>{"M0001"});
    const CDefaultXML reloaded = Reloaded();
    EXPECT_TRUE(reloaded.FindContent("single", "music", "M0001"));
    EXPECT_FALSE(reloaded.FindContent("single", "story", "S0001"));
    EXPECT_FALSE(reloaded.FindContent("single", "book", "B0002"));
    EXPECT_FALSE(fs::exists(CardPathOf(Card(), contents[1], contents[1].files[0])));
    EXPECT_FALSE(fs::exists(Card() / "ck3/ko"));
    EXPECT_EQ(observer.storageChanges, 0);
    EXPECT_TRUE(NoStagingLeft());
}

// The next content downloads while one is copied onto the card, but never more than one ahead:
// while the first is copied nothing of the third has been asked for. The contents reach the
// database in the job's order.
TEST_F(InstallEngineTest, DownloadsOneContentAheadOfTheCopyAtMost) {
    const auto contents = Contents({"M0001", "S0001", "B0002"});
    const std::string copyingFirst = std::string(kMsgCopyingToDevice) + contents[0].title;
    int copyReports = 0;
    observer.onProgress = [&](const JobProgress& progress) {
        if (progress.status != copyingFirst) return;
        ++copyReports;
        for (const auto& request : service->Requests())
            EXPECT_EQ(request.target.find(contents[2].contentNo), std::string::npos)
                << request.target;
    };
    const JobOutcome outcome = Install(contents);

    EXPECT_GT(copyReports, 0);
    EXPECT_EQ(outcome.addedContentNos, (std::vector<std::string>{"M0001", "S0001", "B0002"}));
    EXPECT_TRUE(NoStagingLeft());
}

// A cancel while a content is copied onto the card lets that content end whole and recorded:
// stopped half-way, its files would lie on the card with no record to delete them by.
TEST_F(InstallEngineTest, CancelDuringACopyKeepsThatContentWhole) {
    const auto contents = Contents({"L0001", "M0002"});
    const std::string copyingFirst = std::string(kMsgCopyingToDevice) + contents[0].title;
    observer.onProgress = [&](const JobProgress& progress) {
        if (progress.status == copyingFirst) worker->Cancel();
    };
    const JobOutcome outcome = Install(contents);

    ExpectEnd(outcome, OutcomeKind::Cancelled);
    EXPECT_EQ(outcome.addedContentNos, std::vector<std::string>{"L0001"});
    EXPECT_TRUE(Reloaded().FindContent("single", "language", "L0001"));
    for (const FileRecord& file : contents[0].files)
        EXPECT_EQ(ReadFile(CardPathOf(Card(), contents[0], file)), PlusOne(Served(file.fileUrl)));
    EXPECT_FALSE(Reloaded().FindContent("single", "music", "M0002"));
    EXPECT_TRUE(NoStagingLeft());
}

TEST_F(InstallEngineTest, PausedJobFetchesNothingUntilResumed) {
    DownloadJob job(ContentInstallJob{Contents({"M0002"}), card}, JobTiming::Immediate());
    FixedFreeSpace space(kPlentyOfSpace);
    DownloadWorker paused(std::move(job), session, observer, space);
    const std::size_t requestsBefore = service->Requests().size();
    paused.SetPaused(true);
    paused.Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(service->Requests().size(), requestsBefore);
    EXPECT_EQ(paused.Progress().overallDone, 0u);
    paused.SetPaused(false);
    paused.Wait();
    EXPECT_EQ(paused.Outcome().addedContentNos, std::vector<std::string>{"M0002"});
}

TEST_F(InstallEngineTest, JobLargerThanTheFreeSpaceIsRefusedBeforeAnyDownload) {
    const auto contents = Contents({"L0001", "M0001"});
    std::uint64_t bytes = 0;
    for (const auto& c : contents) {
        for (const auto& f : c.files) bytes += static_cast<std::uint64_t>(f.size);
    }
    const std::uint64_t neededKb = bytes / 1024;

    // Free space of exactly the job's size in KB is not enough.
    const std::size_t requestsBefore = service->Requests().size();
    JobOutcome outcome = Install(contents, neededKb * 1024);
    ExpectEnd(outcome, OutcomeKind::CardFull, Say(MessageId::NotEnoughSpace));
    EXPECT_FALSE(outcome.Completed());
    EXPECT_EQ(outcome.status.message(), kMsgNotEnoughSpace);
    EXPECT_EQ(service->Requests().size(), requestsBefore);
    EXPECT_TRUE(observer.finished.size() == 1 && observer.finished[0].addedContentNos.empty());

    outcome = Install(contents, (neededKb + 1) * 1024);
    EXPECT_TRUE(outcome.status.ok());
    EXPECT_EQ(outcome.addedContentNos.size(), 2u);
}

TEST_F(InstallEngineTest, ContentAlreadyInstalledIsCopiedAgainButNotAddedTwice) {
    const auto contents = Contents({"M0001"});
    ASSERT_EQ(Install(contents).addedContentNos, std::vector<std::string>{"M0001"});
    const fs::path first = CardPathOf(Card(), contents[0], contents[0].files[0]);
    fs::remove(first);

    const JobOutcome again = Install(contents);
    EXPECT_TRUE(again.status.ok());
    EXPECT_TRUE(again.addedContentNos.empty());
    EXPECT_TRUE(fs::exists(first));
    EXPECT_EQ(Reloaded().Contents(Shelf::Music).size(), 1u);
}

// The engine's copy from the staging folder onto a card that fills up: every file that could not
// be copied whole keeps its previous version, and no temporary file is left on the card.
TEST(StagedCopy, OntoAFullCardKeepsThePreviousSoundFiles) {
    test::TempFolder dir;
    const fs::path staging = dir.path() / "staging";
    const fs::path card = dir.path() / "card";
    test::WriteFile(staging / "ck2/ko/1/00000001.qvx", std::string(64 * 1024, 'a'));
    test::WriteFile(staging / "ck2/ko/1/00000002.qvx", std::string(512 * 1024, 'b'));
    test::WriteFile(card / "ck2/ko/1/00000002.qvx", "an older sound");
    {
        test::FileSizeLimit full(256 * 1024);
        FolderTree folders;
        const CardAnchor anchor(card.string());
        EXPECT_FALSE(folders.CopyFolderTree(staging.string(), anchor));
    }
    EXPECT_EQ(ReadFile(card / "ck2/ko/1/00000001.qvx"), std::string(64 * 1024, 'a'));
    EXPECT_EQ(ReadFile(card / "ck2/ko/1/00000002.qvx"), "an older sound");
    EXPECT_FALSE(AnyFileNamed(card, ".~"));
}

// A card that fills up in the middle of a content's second file, while the content's files go to
// the card as they arrive: the job fails, and none of the content's files takes its name.
TEST_F(InstallEngineTest, ACardFullPartWayThroughAContentNamesNoneOfItsFiles) {
    const auto contents = Contents({"B0001"});
    const std::vector<FileRecord>& files = contents[0].files;
    ASSERT_GE(files.size(), 2u);
    CardFaults::FailAfter(Served(files[0].fileUrl).size() + Served(files[1].fileUrl).size() / 2);
    const JobOutcome outcome = Install(contents);
    CardFaults::Clear();

    ExpectEnd(outcome, OutcomeKind::CardFull);
    EXPECT_TRUE(outcome.Completed()) << "went through, leaving the content out";
    EXPECT_TRUE(outcome.addedContentNos.empty());
    for (const FileRecord& file : files)
        EXPECT_FALSE(fs::exists(CardPathOf(Card(), contents[0], file))) << file.name;
    EXPECT_FALSE(AnyFileNamed(Card(), ".~"));
    EXPECT_FALSE(
        Reloaded().FindContent(contents[0].subGroup, contents[0].mainGroup, contents[0].contentNo));
    EXPECT_TRUE(NoStagingLeft());
}

struct UnsafeContent {
    const char* what;
    std::function<void(ContentRecord&)> spoil;
    bool refusedByName = false;  // refused with ContentNotInstallable before its download
};

class UnsafeContentTest : public InstallEngineTest,
                          public ::testing::WithParamInterface<UnsafeContent> {};

// A content that has no folder of its own on the card, or whose names would lead out of the
// staging folder, is left out; the rest of the job is installed.
TEST_P(UnsafeContentTest, IsNotInstalledAndNothingIsWrittenOutside) {
    ContentRecord bad = Content("L0002");
    bad.contentNo = "L0999";
    GetParam().spoil(bad);
    const JobOutcome outcome = Install({bad, Content("M0002")});

    ExpectEnd(outcome, OutcomeKind::Failed);
    EXPECT_TRUE(outcome.Completed());
    EXPECT_EQ(outcome.addedContentNos, std::vector<std::string>{"M0002"});
    // A content the database cannot keep is named to the user; one with nowhere to go on the
    // card is simply left out.
    if (GetParam().refusedByName) {
        ASSERT_EQ(outcome.status.notes().size(), 1u);
        EXPECT_EQ(outcome.status.notes()[0].id, MessageId::ContentNotInstallable);
        EXPECT_EQ(outcome.status.notes()[0].args.at(0), bad.contentNo);
    } else {
        EXPECT_TRUE(outcome.status.notes().empty());
    }
    EXPECT_FALSE(AnyFileNamed(dir.path(), "evil"));
    EXPECT_FALSE(AnyFileNamed(fs::path(GetTempFolder()).parent_path(), "evil"));
    EXPECT_FALSE(AnyFileNamed(Card(), "00000011"));
}

INSTANTIATE_TEST_SUITE_P(
    Contents, UnsafeContentTest,
    ::testing::Values(
        UnsafeContent{"game", [](ContentRecord& c) { c.mainGroup = "game"; }},
        UnsafeContent{"unknown", [](ContentRecord& c) { c.mainGroup = "poster"; }},
        UnsafeContent{"name", [](ContentRecord& c) { c.files[1].name = "../../evil.mp3"; }, true},
        UnsafeContent{"absolute", [](ContentRecord& c) { c.files[1].name = "/tmp/evil.mp3"; }},
        UnsafeContent{"language", [](ContentRecord& c) { c.files[0].language = ".."; }},
        UnsafeContent{"folderType",
                      [](ContentRecord& c) { c.files[0].folderType = "x/../../../evil"; }},
        UnsafeContent{"emptyLanguage", [](ContentRecord& c) { c.files[0].language = ""; }},
        // Contents the database cannot keep: on no shelf (gone at the next load, its files
        // undeletable), a file the copy passes over, a file copied over a card table.
        UnsafeContent{"noShelf", [](ContentRecord& c) { c.contentNo = "Z0999"; }, true},
        UnsafeContent{"dotFile", [](ContentRecord& c) { c.files[1].name = ".00000011.mp3"; }, true},
        UnsafeContent{"table", [](ContentRecord& c) { c.files[1].name = "RFID.tbl"; }, true},
        UnsafeContent{"swTable", [](ContentRecord& c) { c.files[1].name = "sw.tbl"; }, true}),
    [](const auto& info) { return std::string(info.param.what); });

// The card pulled after it was opened: the job fails and creates nothing where the card was (a
// bare mount point, or the computer's own disk), and no other card takes the writes.
TEST_F(InstallEngineTest, ACardPulledOrSwappedAfterOpeningFailsTheJobAndCreatesNothing) {
    for (const bool swapped : {false, true}) {
        const fs::path pulled = dir.path() / (swapped ? "pulled-swapped" : "pulled");
        fs::rename(Card(), pulled);
        if (swapped) fs::create_directory(Card());  // the empty mount point left behind
        const JobOutcome outcome = Install(Contents({"M0002"}));
        EXPECT_FALSE(outcome.status.ok()) << swapped;
        EXPECT_TRUE(outcome.addedContentNos.empty());
        if (swapped)
            EXPECT_TRUE(fs::is_empty(Card())) << "wrote into the bare mount point";
        else
            EXPECT_FALSE(fs::exists(Card())) << "made the card's root";
        EXPECT_FALSE(database.Save().ok());
        std::error_code ignored;
        fs::remove_all(Card(), ignored);
        fs::rename(pulled, Card());
    }
    EXPECT_TRUE(database.OnItsCard());
}

// A file whose size is not the catalogue's did not arrive as listed: cut short without a
// Content-Length, or longer than listed.
TEST_F(InstallEngineTest, AFileOfAnotherSizeThanListedIsNotInstalled) {
    for (const int delta : {+1, -1}) {
        auto contents = Contents({"M0002"});
        contents[0].files[0].size += delta;
        const JobOutcome outcome = Install(contents);
        EXPECT_TRUE(outcome.addedContentNos.empty()) << delta;
        ExpectEnd(outcome, OutcomeKind::ServiceFailed);
        EXPECT_FALSE(Reloaded().FindContent("single", "music", "M0002"));
        EXPECT_FALSE(AnyFileNamed(Card(), ".qvx"));
    }
    EXPECT_EQ(Install(Contents({"M0002"})).addedContentNos, std::vector<std::string>{"M0002"});
}

// A service that breaks off or refuses the second file of the first content.
struct BrokenFile {
    const char* what;
    demo::BodyFault body;
    int status;
};

class BrokenDownloadTest : public InstallEngineTest,
                           public ::testing::WithParamInterface<BrokenFile> {
  protected:
    void SetUp() override {
        demo::FaultPlan faults;
        faults.pathPrefix = "/torvane/files/L0001/00000002";
        faults.body = GetParam().body;
        faults.status = GetParam().status;
        faults.stallMs = 100;
        StartService(faults);
        InstallEngineTest::SetUp();
    }
    void TearDown() override {
        InstallEngineTest::TearDown();
        TearDownTestSuite();
    }
};

// A content whose second file did not arrive is neither recorded nor copied: recorded with a
// missing file, the retry would skip it as already on the device.
TEST_P(BrokenDownloadTest, AContentWithAFileMissingIsNotInstalledAndEndsTheJob) {
    const auto contents = Contents({"L0001", "M0002"});
    const JobOutcome outcome = Install(contents);

    EXPECT_TRUE(outcome.Completed());
    EXPECT_EQ(outcome.addedContentNos, std::vector<std::string>{});
    ExpectEnd(outcome, OutcomeKind::ServiceFailed);  // not the card's fault
    const ContentRecord& language = contents[0];
    EXPECT_FALSE(Reloaded().FindContent("single", "language", "L0001"));
    EXPECT_FALSE(fs::exists(CardPathOf(Card(), language, language.files[0])));
    EXPECT_FALSE(fs::exists(CardPathOf(Card(), language, language.files[1])));
    EXPECT_FALSE(fs::exists(CardPathOf(Card(), language, language.files[2])));
    EXPECT_FALSE(Reloaded().FindContent("single", "music", "M0002"));
    EXPECT_TRUE(NoStagingLeft());
}

// The broken content downloads while the one before it is copied: that one is installed whole
// and recorded, and nothing of the broken one reaches the card.
TEST_P(BrokenDownloadTest, ABrokenContentDownloadingAheadLeavesTheOneBeforeItInstalled) {
    const auto contents = Contents({"M0002", "L0001"});
    const JobOutcome outcome = Install(contents);

    EXPECT_EQ(outcome.addedContentNos, std::vector<std::string>{"M0002"});
    ExpectEnd(outcome, OutcomeKind::ServiceFailed);
    const CDefaultXML reloaded = Reloaded();
    EXPECT_TRUE(reloaded.FindContent("single", "music", "M0002"));
    for (const FileRecord& file : contents[0].files)
        EXPECT_EQ(ReadFile(CardPathOf(Card(), contents[0], file)), PlusOne(Served(file.fileUrl)));
    EXPECT_FALSE(reloaded.FindContent("single", "language", "L0001"));
    for (const FileRecord& file : contents[1].files)
        EXPECT_FALSE(fs::exists(CardPathOf(Card(), contents[1], file))) << file.name;
    EXPECT_TRUE(NoStagingLeft());
}

// Two installs at once (two torvane-cli runs, or the command line beside the desktop app) stage
// in folders of their own: neither copies the other's files onto its card, and a half file a
// killed run left in the temporary folder is never taken for one of this job's.
TEST_F(InstallEngineTest, TwoJobsAtOnceStageApartAndIgnoreLeftovers) {
    const fs::path leftover = fs::path(GetTempFolder()) / "temp/ck7/00000999.qvx";
    test::WriteFile(leftover, "half a file of a killed run");
    const fs::path other = dir.path() / "other";
    ASSERT_TRUE(CreateEmptyDevice(other.string(), "1.0", "larkspin"));
    const auto otherCard = std::make_shared<torvane::Card>(other.string());
    ASSERT_TRUE(otherCard->LoadDatabase().ok());

    const auto mine = Contents({"M0002"});
    const auto theirs = Contents({"S0001"});
    FixedFreeSpace space(kPlentyOfSpace);
    auto start = [&](const std::shared_ptr<torvane::Card>& target,
                     const std::vector<ContentRecord>& contents, IJobObserver& watcher) {
        DownloadJob job{ContentInstallJob{contents, target}, JobTiming::Immediate()};
        auto running = std::make_unique<DownloadWorker>(std::move(job), session, watcher, space);
        running->Start();
        return running;
    };
    ScriptedObserver otherObserver;
    auto first = start(card, mine, observer);
    auto second = start(otherCard, theirs, otherObserver);
    first->Wait();
    second->Wait();

    ASSERT_TRUE(first->Outcome().status.ok()) << first->Outcome().status.message();
    ASSERT_TRUE(second->Outcome().status.ok()) << second->Outcome().status.message();
    EXPECT_TRUE(fs::exists(CardPathOf(Card(), mine[0], mine[0].files[0])));
    EXPECT_FALSE(AnyFileNamed(Card() / "ck8", ".qvx"));
    EXPECT_TRUE(fs::exists(CardPathOf(other, theirs[0], theirs[0].files[0])));
    EXPECT_FALSE(AnyFileNamed(other / "ck7", ".qvx"));
    EXPECT_EQ(ReadFile(CardPathOf(Card(), mine[0], mine[0].files[0])),
              PlusOne(Served(mine[0].files[0].fileUrl)));
    EXPECT_FALSE(AnyFileNamed(Card(), "00000999"));
    EXPECT_FALSE(AnyFileNamed(other, "00000999"));
    EXPECT_TRUE(NoStagingLeft());
}

// A second job on a card another job (or program) is changing waits a moment, then refuses: the
// user is told, nothing is downloaded or written. Once the card is free, the same job runs.
TEST_F(InstallEngineTest, AJobOnABusyCardRefusesUntouched) {
    const auto contents = Contents({"M0002"});
    FixedFreeSpace space(kPlentyOfSpace);
    JobTiming timing = JobTiming::Immediate();
    timing.cardLockWait = std::chrono::milliseconds(100);
    const auto run = [&] {
        DownloadJob job{ContentInstallJob{contents, card}, timing};
        DownloadWorker worker(std::move(job), session, observer, space);
        worker.Start();
        worker.Wait();
        return worker.Outcome();
    };
    auto other = torvane::Card(Card().string()).Lock(std::chrono::milliseconds(0));
    ASSERT_NE(other, nullptr);
    const auto before = test::Snapshot(Card());
    const std::size_t requestsBefore = service->Requests().size();
    const JobOutcome refused = run();
    ExpectEnd(refused, OutcomeKind::Refused, Say(MessageId::CardBusy));
    EXPECT_EQ(refused.status.message(), kMsgCardBusy);
    EXPECT_FALSE(refused.Completed());
    EXPECT_EQ(service->Requests().size(), requestsBefore);
    EXPECT_EQ(test::Snapshot(Card()), before);

    other.reset();
    const JobOutcome done = run();
    EXPECT_TRUE(done.status.ok()) << done.status.message();
    EXPECT_EQ(done.addedContentNos, std::vector<std::string>{"M0002"});
}

// Detection may choose another card while an install runs (the parent switches drives, or the
// card is pulled and another one attached). The install must go on writing to the card it started
// on: its database, tables and files, and nothing onto the card chosen later.
class CardSwitchTest : public InstallEngineTest {
  protected:
    using Lister = test::FixedDrives;
    class Host final : public IDriveDetectionHost {
      public:
        bool EnsureFirmwareList() override { return true; }
        void ClearDeviceVersions() override {}
        void StartRemovedTimer() override {}
        void StartAttachedTimer() override {}
        void ChooserChanged() override {}
    };
};

TEST_F(CardSwitchTest, AnInstallKeepsWritingToTheCardItStartedOn) {
    const fs::path other = dir.path() / "other";
    ASSERT_TRUE(CreateEmptyDevice(other.string(), "1.0", "larkspin"));
    const std::string otherDatabase = ReadFile(other / "Default.dat");
    Lister lister;
    lister.drives = {Card().string(), other.string()};
    Host host;
    DriveDetector detector(lister, host);
    detector.Poll();
    const std::shared_ptr<torvane::Card> started = detector.CurrentCard();
    ASSERT_TRUE(started);
    ASSERT_EQ(started->root(), Card().string());
    ASSERT_TRUE(started->LoadDatabase().ok());

    const auto contents = Contents({"L0001", "M0002"});
    DownloadJob job(ContentInstallJob{contents, started}, JobTiming::Immediate());
    bool switched = false;
    observer.onProgress = [&](const JobProgress&) {
        if (switched) return;
        switched = true;
        detector.SelectEntry(1);  // the other card becomes the device mid-install
    };
    FixedFreeSpace space(kPlentyOfSpace);
    worker = std::make_unique<DownloadWorker>(std::move(job), session, observer, space);
    worker->Start();
    worker->Wait();

    ASSERT_TRUE(switched);
    EXPECT_EQ(detector.CardRoot(), other.string());
    ASSERT_TRUE(worker->Outcome().status.ok()) << worker->Outcome().status.message();
    const CDefaultXML reloaded = Reloaded();
    for (const ContentRecord& content : contents)
        EXPECT_TRUE(reloaded.FindContent(content.subGroup, content.mainGroup, content.contentNo));
    EXPECT_EQ(ReadFile(other / "Default.dat"), otherDatabase);
    EXPECT_FALSE(AnyFileNamed(other, ".qvx"));
}

INSTANTIATE_TEST_SUITE_P(Faults, BrokenDownloadTest,
                         ::testing::Values(BrokenFile{"CutOff", demo::BodyFault::CutOff, 0},
                                           BrokenFile{"CutWithoutLength",
                                                      demo::BodyFault::NoContentLengthCut, 0},
                                           BrokenFile{"NotFound", demo::BodyFault::None, 404},
                                           BrokenFile{"ServerError", demo::BodyFault::None, 500}),
                         [](const auto& info) { return std::string(info.param.what); });

// The card leaves while an install downloads: the detection tells the card, the job stops before
// its next write and says why, and nothing reaches the card, not even when it is put back (the
// same folder, the same inode) before the job would have copied. The card put back is opened as a
// new card and holds what it held.
TEST_F(CardSwitchTest, ACardPulledAndPutBackDuringAnInstallGetsNothing) {
    const std::string before = ReadFile(Card() / "Default.dat");
    const fs::path away = dir.path() / "away";
    Lister lister;
    lister.drives = {Card().string()};
    Host host;
    DriveDetector detector(lister, host);
    detector.Poll();
    const std::shared_ptr<torvane::Card> started = detector.CurrentCard();
    ASSERT_TRUE(started && started->LoadDatabase().ok());

    DownloadJob job(ContentInstallJob{Contents({"M0002", "S0001"}), started},
                    JobTiming::Immediate());
    bool pulled = false;
    observer.onProgress = [&](const JobProgress& progress) {
        if (pulled || progress.overallDone == 0) return;
        pulled = true;
        fs::rename(Card(), away);
        lister.drives.clear();
        detector.Poll();  // the card is gone
        detector.Poll();  // and so is its entry in the chooser
        fs::rename(away, Card());
        lister.drives = {Card().string()};
        detector.Poll();  // and back, opened as a new card
    };
    FixedFreeSpace space(kPlentyOfSpace);
    worker = std::make_unique<DownloadWorker>(std::move(job), session, observer, space);
    worker->Start();
    worker->Wait();

    ASSERT_TRUE(pulled);
    ExpectEnd(worker->Outcome(), OutcomeKind::CardUnreadable, Say(MessageId::CardRemovedDuringJob));
    EXPECT_TRUE(worker->Outcome().addedContentNos.empty());
    EXPECT_EQ(observer.last.status, kMsgCardRemovedDuringJob);
    EXPECT_EQ(ReadFile(Card() / "Default.dat"), before);
    EXPECT_FALSE(AnyFileNamed(Card(), ".qvx"));
    const std::shared_ptr<torvane::Card> back = detector.CurrentCard();
    ASSERT_TRUE(back && back != started);
    ASSERT_TRUE(back->LoadDatabase().ok());
    EXPECT_EQ(back->database().systemVersion(), "1.0");
    EXPECT_TRUE(NoStagingLeft());
}

// A card folder removed and made again at the same path (a file system that reuses the inode at
// once cannot tell them apart by the folder): the new card's database tells, and the job writes
// neither files nor a database there.
TEST_F(InstallEngineTest, ACardMadeAgainAtItsPathDuringAnInstallGetsNothing) {
    bool replaced = false;
    std::string fresh;
    observer.onProgress = [&](const JobProgress& progress) {
        if (replaced || progress.overallDone == 0) return;
        replaced = true;
        fs::remove_all(Card());
        ASSERT_TRUE(CreateEmptyDevice(Card().string(), "2.0", "larkspin"));
        fresh = ReadFile(Card() / "Default.dat");
    };
    const JobOutcome outcome = Install(Contents({"M0002", "S0001"}));
    ASSERT_TRUE(replaced);
    ExpectEnd(outcome, OutcomeKind::CardUnreadable, Say(MessageId::CardRemovedDuringJob));
    EXPECT_EQ(ReadFile(Card() / "Default.dat"), fresh);
    EXPECT_FALSE(AnyFileNamed(Card(), ".qvx"));
    EXPECT_FALSE(database.Save().ok());
}

}  // namespace
}  // namespace torvane
