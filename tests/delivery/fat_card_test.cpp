// An install onto a real FAT32 file system, the card's own, read back after a fresh mount.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "delivery/download_worker.h"
#include "store/device_setup.h"
#include "tests/delivery/device_fixture.h"

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

    fs::path image;
    fs::path mountPoint;
    bool mounted = false;
};

TEST_F(FatCardTest, InstalledContentsReadBackAfterAFreshMount) {
    ASSERT_TRUE(CreateEmptyDevice(Fat().string(), "1.0", "larkspin"));
    CDefaultXML onFat(Fat().string());
    ASSERT_TRUE(onFat.Load());
    const DownloadJob job(ContentInstallJob{{Content("L0001"), Content("M0002")}, &onFat},
                          JobTiming::Immediate());
    test::NullSink observer;
    StatvfsFreeSpace space;  // the image's own free space
    DownloadWorker worker(job, session, observer, sink, space);
    const JobOutcome outcome = worker.Run();
    ASSERT_TRUE(outcome.Completed()) << outcome.lastError;
    ASSERT_EQ(outcome.addedContentNos, (std::vector<std::string>{"L0001", "M0002"}))
        << outcome.lastError;

    ASSERT_EQ(Shell(kFatTool + " umount " + mountPoint.string()), 0);
    ASSERT_EQ(Shell(kFatTool + " mount " + image.string() + " " + mountPoint.string()), 0);
    CDefaultXML reloaded(Fat().string());
    ASSERT_TRUE(reloaded.Load()) << reloaded.lastError();
    EXPECT_TRUE(reloaded.FindContent("single", "language", "L0001"));
    EXPECT_TRUE(reloaded.FindContent("single", "music", "M0002"));
    std::string served = Served(std::get<ContentInstallJob>(job.kind).contents[1].files[0].fileUrl);
    for (char& c : served) c = static_cast<char>(static_cast<unsigned char>(c) + 1);
    EXPECT_EQ(ReadFile(Fat() / "ck7/00000111.qvx"), served);
    EXPECT_TRUE(fs::exists(Fat() / "ck2/en/word/00000002.qvx"));
    EXPECT_GT(fs::file_size(Fat() / "ck2/rfid.tbl"), 0u);
}

}  // namespace
}  // namespace torvane
