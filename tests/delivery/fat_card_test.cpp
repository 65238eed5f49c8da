// An install onto a real FAT32 file system, the card's own, read back after a fresh mount.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "delivery/card_backup.h"
#include "delivery/card_care.h"
#include "delivery/download_worker.h"
#include "delivery/job_runner.h"
#include "store/device_setup.h"
#include "store/diy_xml.h"
#include "tests/support/device_fixture.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;

const std::string kFatTool = TORVANE_FAT_CARD_TOOL;

int Shell(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str());
}

class FatCardTest : public test::ServiceFixture {
  protected:
    void SetUp() override {
        if (Shell(kFatTool + " check") != 0) {
            GTEST_SKIP() << "this machine cannot mount a FAT file system (" << kFatTool
                         << " check: needs dosfstools, fusefat, fuse and /dev/fuse)";
        }
        image = dir.path() / "card.img";
        mountPoint = dir.path() / "fat";
        ASSERT_EQ(Shell(kFatTool + " create " + image.string() + " 64"), 0);
        ASSERT_EQ(Shell(kFatTool + " mount " + image.string() + " " + mountPoint.string()), 0);
        mounted = true;
        ServiceFixture::SetUp();
    }
    void TearDown() override {
        ServiceFixture::TearDown();
        if (mounted) Shell(kFatTool + " umount " + mountPoint.string());
    }
    // The card is the mounted image, not the fixture's folder.
    fs::path Fat() const { return mountPoint; }
    void Remount() {
        ASSERT_EQ(Shell(kFatTool + " umount " + mountPoint.string()), 0);
        ASSERT_EQ(Shell(kFatTool + " mount " + image.string() + " " + mountPoint.string()), 0);
    }

    fs::path image;
    fs::path mountPoint;
    bool mounted = false;
};

TEST_F(FatCardTest, InstalledContentsReadBackAfterAFreshMount) {
    ASSERT_TRUE(CreateEmptyDevice(Fat().string(), "1.0", "larkspin"));
    const auto onFat = std::make_shared<torvane::Card>(Fat().string());
    ASSERT_TRUE(onFat->LoadDatabase().ok());
    const DownloadJob job(ContentInstallJob{{Content("L0001"), Content("M0002")}, onFat},
                          JobTiming::Immediate());
    test::NullSink observer;
    StatvfsFreeSpace space;  // the image's own free space
    DownloadWorker worker(job, session, observer, space);
    const JobOutcome outcome = worker.Run();
    ASSERT_TRUE(outcome.status.ok()) << outcome.status.message();
    ASSERT_EQ(outcome.addedContentNos, (std::vector<std::string>{"L0001", "M0002"}));

    Remount();
    CDefaultXML reloaded(Fat().string());
    ASSERT_TRUE(reloaded.Load().ok());
    EXPECT_TRUE(reloaded.FindContent("single", "language", "L0001"));
    EXPECT_TRUE(reloaded.FindContent("single", "music", "M0002"));
    std::string served = Served(std::get<ContentInstallJob>(job.kind).contents[1].files[0].fileUrl);
    for (char& c : served) c = static_cast<char>(static_cast<unsigned char>(c) + 1);
    EXPECT_EQ(ReadFile(Fat() / "ck7/00000111.qvx"), served);
    EXPECT_TRUE(fs::exists(Fat() / "ck2/en/word/00000002.qvx"));
    EXPECT_GT(fs::file_size(Fat() / "ck2/rfid.tbl"), 0u);
}

// FAT folds the case of names and keeps no links or owners: the check, the repair, the backup
// and the restore must still find every file of the card.
TEST_F(FatCardTest, ACardBrokenByHandIsRepairedAndItsBackupComesBackAfterAFreshMount) {
    ASSERT_TRUE(CreateEmptyDevice(Fat().string(), "1.0", "larkspin"));
    const auto onFat = std::make_shared<torvane::Card>(Fat().string());
    ASSERT_TRUE(onFat->LoadDatabase().ok());
    test::NullSink observer;
    StatvfsFreeSpace space;
    ThreadedJobRunner runner(session, observer, space, nullptr, JobTiming::Immediate());
    ASSERT_TRUE(runner.Run(DownloadJob(ContentInstallJob{{Content("M0002")}, onFat})).Completed());
    CDiyXML diy(Fat().string());
    ASSERT_TRUE(diy.Load().ok());
    diy.RecordForCard(kFirstDiyCard)->slots[0] = {"아빠 목소리", "2026-12-10T09-00-00", "dad.mp3"};
    ASSERT_TRUE(diy.SaveDiyFile().ok() && diy.SaveRecTable().ok());
    test::WriteFile(Fat() / "ck9/re1/dad.mp3", "dad's voice");
    const std::string song = ReadFile(Fat() / "ck7/00000111.qvx");
    fs::remove(Fat() / "ck7/00000111.qvx");
    fs::remove(Fat() / "ck2/rfid.tbl");

    RestorePlan plan;
    const auto care = [&](CardCareJob::Action action, CareReport* report = nullptr) {
        CardCareJob job;
        job.action = action;
        job.card = std::make_shared<torvane::Card>(Fat().string());
        job.archive = (dir.path() / "card.tvbackup").string();
        job.report = report;
        job.plan = &plan;
        return runner.Run(DownloadJob(job));
    };
    CareReport found;
    ASSERT_TRUE(care(CardCareJob::Action::Check, &found).Completed());
    EXPECT_EQ(found.problems.size(), 3u) << ::testing::PrintToString(found.Lines());
    CareReport repaired;
    ASSERT_TRUE(care(CardCareJob::Action::Repair, &repaired).Completed());
    EXPECT_TRUE(repaired.Sound()) << ::testing::PrintToString(repaired.Lines());
    EXPECT_EQ(ReadFile(Fat() / "ck7/00000111.qvx"), song);

    ASSERT_TRUE(care(CardCareJob::Action::Backup).Completed());
    fs::remove(Fat() / "ck9/re1/dad.mp3");
    fs::remove(Fat() / "Diy.dat");
    ASSERT_TRUE(care(CardCareJob::Action::PlanRestore).status.ok());
    ASSERT_TRUE(care(CardCareJob::Action::Restore).Completed());
    Remount();
    EXPECT_EQ(ReadFile(Fat() / "ck9/re1/dad.mp3"), "dad's voice");
    CDiyXML restored(Fat().string());
    ASSERT_TRUE(restored.Load().ok());
    EXPECT_EQ(restored.RecordForCard(kFirstDiyCard)->slots[0].name, "아빠 목소리");
    CareReport after;
    ASSERT_TRUE(care(CardCareJob::Action::Check, &after).Completed());
    EXPECT_TRUE(after.problems.empty()) << ::testing::PrintToString(after.Lines());
}

}  // namespace
}  // namespace torvane
