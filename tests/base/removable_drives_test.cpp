#include "base/removable_drives.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/temp_folder.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

// A small sysfs: a USB stick partition, a card reader disk marked removable with a partition, a
// fixed disk partition, and a disk marked removable without partitions.
class FakeSystem : public ::testing::Test {
  protected:
    void SetUp() override {
        AddDevice("8:17", "devices/pci0000:00/usb1/1-1/host6/block/sdb/sdb1", true, "0");
        AddDevice("8:33", "devices/pci0000:00/ata2/block/sdc/sdc1", true, "1");
        AddDevice("8:1", "devices/pci0000:00/ata1/block/sda/sda1", true, "0");
        AddDevice("179:0", "devices/platform/mmc0/block/mmcblk0", false, "1");
        sources_.sysfsRoot = root_.Folder("sys");
        sources_.mountInfoPath = root_.str() + "/mountinfo";
        root_.WriteFile("mountinfo",
                        "22 28 0:21 / /proc rw,relatime - proc proc rw\n"
                        "30 28 8:1 / / rw,relatime - ext4 /dev/sda1 rw\n"
                        "41 30 8:33 / /media/reader rw - vfat /dev/sdc1 rw\n"
                        "42 30 8:17 / /media/my\\040stick rw - vfat /dev/sdb1 rw\n"
                        "43 30 179:0 / /media/card/ rw - vfat /dev/mmcblk0 rw\n"
                        "44 30 0:45 / /media/ram rw - tmpfs tmpfs rw\n");
    }

    // `path` below sys/; the removable flag sits on the disk (the partition's parent).
    void AddDevice(const std::string& majorMinor, const std::string& path, bool partition,
                   const std::string& removable) {
        const fs::path sys = root_.Folder("sys");
        fs::create_directories(sys / path);
        const fs::path disk = partition ? (sys / path).parent_path() : sys / path;
        if (partition) root_.WriteFile("sys/" + path + "/partition", "1\n");
        std::ofstream(disk / "removable") << removable << "\n";
        fs::create_directories(sys / "dev/block");
        fs::create_directory_symlink(sys / path, sys / "dev/block" / majorMinor);
    }

    TempFolder root_;
    DriveSources sources_;
};

TEST_F(FakeSystem, ListsUsbAndRemovableMountsInMountPointOrder) {
    EXPECT_EQ(ListRemovableDrives(sources_),
              (std::vector<std::string>{"/media/card", "/media/my stick", "/media/reader"}));
}

TEST_F(FakeSystem, SimulatedFoldersFollowInListedOrderWhenTheyExist) {
    const std::string b = root_.Folder("cards/b");
    const std::string a = root_.Folder("cards/a");
    sources_.simulatedDrives = b + "/:" + root_.str() + "/cards/missing::" + a + ":" + b;
    const auto drives = ListRemovableDrives(sources_);
    ASSERT_EQ(drives.size(), 5u);
    EXPECT_EQ(drives[3], b);
    EXPECT_EQ(drives[4], a);
}

TEST(MountInfo, DecodesEscapesAndSkipsMalformedLines) {
    const auto entries = ParseMountInfo(
        "1 2 8:1 / /a\\040b\\134c rw - ext4 x rw\n"
        "short line\n"
        "3 4 nonsense / /x rw - ext4 x rw\n"
        "5 6 8:2 / /end\\04 rw - ext4 x rw\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].mountPoint, "/a b\\c");
    EXPECT_EQ(entries[0].major, 8u);
    EXPECT_EQ(entries[0].minor, 1u);
    EXPECT_EQ(entries[1].mountPoint, "/end\\04");  // a cut escape stays as written
}

TEST(DeviceDrive, FirstDriveHoldingTheDatabaseIsTheDevice) {
    TempFolder root;
    const std::string plain = root.Folder("plain");
    const std::string first = root.Folder("first");
    const std::string second = root.Folder("second");
    root.WriteFile("first/Default.dat", "x");
    root.WriteFile("second/Default.dat", "x");
    EXPECT_EQ(FindDeviceDrive({plain, first, second}), first);
    EXPECT_EQ(FindDeviceDrive({plain}), std::nullopt);
    EXPECT_EQ(FindDeviceDrive({}), std::nullopt);
}

}  // namespace
}  // namespace torvane
