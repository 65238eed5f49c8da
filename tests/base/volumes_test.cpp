// The cards as the disk service knows them: their names, the chooser's drives with and without
// the service, mounting a chosen card, and safe removal in its order.
#include "base/volumes.h"

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace torvane {
namespace {

class FakeVolumes final : public IVolumeService {
  public:
    bool available = true;
    std::vector<Volume> volumes;
    std::string unmountError;
    std::vector<std::string> calls;

    bool Available() override { return available; }
    std::vector<Volume> RemovableVolumes() override { return volumes; }
    std::string Mount(const Volume& volume, std::string& mountPoint) override {
        calls.push_back("mount " + volume.device);
        mountPoint = "/media/kim/" + volume.label;
        return {};
    }
    std::string Unmount(const Volume& volume) override {
        calls.push_back("unmount " + volume.device);
        return unmountError;
    }
    std::string PowerOff(const Volume& volume) override {
        calls.push_back("power off " + volume.device);
        return {};
    }
};

TEST(VolumeNames, AsTheFileManagerWritesThem) {
    const struct {
        std::string label;
        std::uint64_t size;
        std::string name;
    } cases[] = {
        {"LARKSPIN", 3965190144, "LARKSPIN (4.0 GB)"}, {"", 1000000000, "1.0 GB 볼륨"},
        {"카드", 524288000, "카드 (524.3 MB)"},        {"", 999, "999 bytes 볼륨"},
        {"BIG", 2000000000000, "BIG (2.0 TB)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VolumeName({"", "", c.label, c.size, "", "", false}), c.name);
}

class VolumeListing : public ::testing::Test {
  protected:
    void SetUp() override {
        service_.volumes = {
            {"/b/sdb1", "/dev/sdb1", "LARKSPIN", 4000000000, "/media/kim/LARKSPIN", "/d/sdb", true},
            {"/b/sdc1", "/dev/sdc1", "DATA", 1000000000, "", "/d/sdc", true}};
        folder_ = root_.Folder("simulated");
        root_.WriteFile("mountinfo", "");  // no removable drive mounted
        sources_.mountInfoPath = root_ / "mountinfo";
        sources_.simulatedDrives = folder_;
    }
    test::TempFolder root_;
    std::string folder_;
    DriveSources sources_;
    FakeVolumes service_;
};

TEST_F(VolumeListing, VolumesByMountPointOrDeviceThenTheSimulatedFolders) {
    VolumeDriveLister lister(service_, sources_);
    EXPECT_EQ(lister.RemovableDrives(),
              (std::vector<std::string>{"/media/kim/LARKSPIN", "/dev/sdc1", folder_}));
    EXPECT_EQ(lister.DisplayName("/media/kim/LARKSPIN"), "LARKSPIN (4.0 GB)");
    EXPECT_EQ(lister.DisplayName("/dev/sdc1"), "DATA (1.0 GB)");
    EXPECT_EQ(lister.DisplayName(folder_), folder_);  // a folder keeps its path

    std::string error;
    EXPECT_EQ(lister.MakeUsable("/media/kim/LARKSPIN", error), "/media/kim/LARKSPIN");
    EXPECT_EQ(lister.MakeUsable(folder_, error), folder_);
    EXPECT_TRUE(service_.calls.empty());
    EXPECT_EQ(lister.MakeUsable("/dev/sdc1", error), "/media/kim/DATA");  // mounted when chosen
    EXPECT_EQ(service_.calls, std::vector<std::string>{"mount /dev/sdc1"});
}

TEST_F(VolumeListing, WithoutTheServiceTheMountTableAndFoldersServe) {
    service_.available = false;
    VolumeDriveLister lister(service_, sources_);
    EXPECT_EQ(lister.RemovableDrives(), std::vector<std::string>{folder_});
    EXPECT_FALSE(lister.VolumeOf("/media/kim/LARKSPIN"));
}

TEST_F(VolumeListing, EjectUnmountsBeforeThePowerGoesAndStopsWhenTheCardIsBusy) {
    EXPECT_EQ(EjectCard(service_, service_.volumes[0]), "");
    EXPECT_EQ(service_.calls,
              (std::vector<std::string>{"unmount /dev/sdb1", "power off /dev/sdb1"}));
    service_.calls.clear();
    EXPECT_EQ(EjectCard(service_, service_.volumes[1]), "");  // not mounted: only the power
    EXPECT_EQ(service_.calls, std::vector<std::string>{"power off /dev/sdc1"});

    service_.calls.clear();
    service_.unmountError = "Target is busy";
    EXPECT_EQ(EjectCard(service_, service_.volumes[0]), "Target is busy");
    EXPECT_EQ(service_.calls, std::vector<std::string>{"unmount /dev/sdb1"});  // power stays on
}

}  // namespace
}  // namespace torvane
