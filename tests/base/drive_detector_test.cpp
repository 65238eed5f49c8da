#include "base/drive_detector.h"

#include <gtest/gtest.h>

#include "store/card.h"
#include "tests/support/fixed_drives.h"
#include "tests/support/temp_folder.h"

namespace torvane {
namespace {

using test::TempFolder;

// Records what the detection asked of the window, in order.
class RecordingHost final : public IDriveDetectionHost {
  public:
    bool firmwareListOk = true;
    int firmwareRequests = 0;
    std::vector<std::string> events;

    bool EnsureFirmwareList() override {
        ++firmwareRequests;
        return firmwareListOk;
    }
    void ClearDeviceVersions() override { events.push_back("clear"); }
    void StartRemovedTimer() override { events.push_back("removed"); }
    void StartAttachedTimer() override { events.push_back("attached"); }
    void ChooserChanged() override {}

    std::vector<std::string> Take() { return std::exchange(events, {}); }
};

// Two cards holding the device database and a plain stick.
class Detection : public ::testing::Test {
  protected:
    void SetUp() override {
        cardA_ = root_.Folder("a");
        cardB_ = root_.Folder("b");
        stick_ = root_.Folder("stick");
        root_.WriteFile("a/Default.dat", "db");
        root_.WriteFile("b/Default.dat", "db");
    }

    using Events = std::vector<std::string>;

    TempFolder root_;
    std::string cardA_, cardB_, stick_;
    test::FixedDrives lister_;
    RecordingHost host_;
    DriveDetector detector_{lister_, host_};
};

TEST_F(Detection, CardPresentAtStartIsChosenSilentlyOnTheFirstPoll) {
    lister_.drives = {stick_, cardA_};
    detector_.Poll();
    EXPECT_EQ(detector_.CardRoot(), cardA_);
    EXPECT_EQ(detector_.Entries(), (std::vector<std::string>{stick_, cardA_}));
    EXPECT_EQ(detector_.CurrentEntry(), 1);
    EXPECT_EQ(detector_.SelectedDrive(), cardA_);
    EXPECT_EQ(host_.Take(), Events{"attached"});
    EXPECT_TRUE(detector_.TakeFirstAttach());
    EXPECT_FALSE(detector_.TakeFirstAttach());

    detector_.Poll();  // nothing new: nothing happens, the list is not requested again
    EXPECT_EQ(host_.Take(), Events{});
    EXPECT_EQ(host_.firmwareRequests, 1);
}

TEST_F(Detection, PulledCardIsAnnouncedAndItsEntryLeavesOnePollLater) {
    lister_.drives = {cardA_};
    detector_.Poll();
    host_.Take();
    const std::shared_ptr<Card> held = detector_.CurrentCard();  // as a running job holds it

    lister_.drives = {};
    detector_.Poll();
    EXPECT_TRUE(held->Removed());  // the job learns it at once, before the window does
    EXPECT_EQ(detector_.CardRoot(), "");
    EXPECT_EQ(detector_.RemovedDevice(), cardA_);
    EXPECT_EQ(detector_.SelectedDrive(), "");
    EXPECT_EQ(host_.Take(), (Events{"clear", "removed"}));
    EXPECT_EQ(detector_.Entries().size(), 1u);

    detector_.Poll();
    EXPECT_TRUE(detector_.Entries().empty());
    EXPECT_EQ(detector_.CurrentEntry(), -1);
    EXPECT_EQ(host_.Take(), Events{});

    lister_.drives = {cardA_};  // inserted again: chosen again
    detector_.Poll();
    EXPECT_EQ(detector_.CardRoot(), cardA_);
    EXPECT_EQ(host_.Take(), Events{"attached"});
}

TEST_F(Detection, EarlierCardWinsAndSwitchingByHandDropsTheOldWithoutRemovalMessage) {
    lister_.drives = {cardA_, cardB_};
    detector_.Poll();
    EXPECT_EQ(detector_.CardRoot(), cardA_);
    host_.Take();

    const std::shared_ptr<Card> first = detector_.CurrentCard();
    detector_.SelectEntry(1);
    EXPECT_EQ(detector_.CardRoot(), cardB_);
    EXPECT_EQ(detector_.RemovedDevice(), "");
    EXPECT_EQ(host_.Take(), (Events{"clear", "removed", "attached"}));
    EXPECT_FALSE(first->Removed());  // still in its slot: a job on it goes on
    // The update page's packages go to the selected drive, as the device's own card object.
    EXPECT_EQ(detector_.SelectedDriveCard(), detector_.CurrentCard());
}

TEST_F(Detection, ChoosingADriveWithoutDatabaseDropsTheDeviceButTargetsTheDrive) {
    lister_.drives = {cardA_, stick_};
    detector_.Poll();
    host_.Take();

    detector_.SelectEntry(1);
    EXPECT_EQ(detector_.CardRoot(), "");
    EXPECT_EQ(detector_.SelectedDrive(), stick_);
    EXPECT_EQ(host_.Take(), (Events{"clear", "removed"}));
    ASSERT_NE(detector_.SelectedDriveCard(), nullptr);
    EXPECT_EQ(detector_.SelectedDriveCard()->root(), stick_);
}

TEST_F(Detection, FailedFirmwareListSkipsTheAutomaticChoiceUntilADriveIsAppended) {
    host_.firmwareListOk = false;
    lister_.drives = {cardA_};
    detector_.Poll();
    detector_.Poll();
    EXPECT_EQ(detector_.CardRoot(), "");
    EXPECT_EQ(host_.firmwareRequests, 1);

    host_.firmwareListOk = true;
    lister_.drives = {cardA_, stick_};
    detector_.Poll();
    EXPECT_EQ(detector_.CardRoot(), cardA_);
    EXPECT_EQ(detector_.CurrentEntry(), 0);
}

TEST_F(Detection, VanishedOtherDriveLeavesAtOnceAndKeepsTheCurrentEntry) {
    lister_.drives = {stick_, cardA_};
    detector_.Poll();
    host_.Take();

    lister_.drives = {cardA_};
    detector_.Poll();
    EXPECT_EQ(detector_.Entries(), std::vector<std::string>{cardA_});
    EXPECT_EQ(detector_.CurrentEntry(), 0);
    EXPECT_EQ(detector_.CardRoot(), cardA_);
    EXPECT_EQ(detector_.SelectedDrive(), "");  // emptied whenever an entry went missing
    EXPECT_EQ(host_.Take(), Events{});
}

TEST(DeviceMessages, NameTheDrive) {
    EXPECT_EQ(DeviceRemovedMessage("/media/card"),
              "/media/card 디바이스가 시스템에서 분리되었습니다.");
    EXPECT_EQ(DeviceAttachedMessage("/media/card"),
              "/media/card 디바이스가 시스템에서 장착되었습니다.");
}

TEST_F(Detection, WhenTheChosenCardLeavesAnotherCardThereIsChosen) {
    lister_.drives = {stick_, cardA_, cardB_};
    detector_.Poll();
    ASSERT_EQ(detector_.CardRoot(), cardA_);
    host_.Take();

    lister_.drives = {stick_, cardB_};  // card A pulled out
    detector_.Poll();
    EXPECT_EQ(detector_.RemovedDevice(), cardA_);
    EXPECT_EQ(detector_.CardRoot(), cardB_);
    EXPECT_EQ(host_.Take(), (Events{"clear", "removed", "attached"}));

    lister_.drives = {stick_};  // the last card goes: nothing left to choose
    detector_.Poll();
    EXPECT_EQ(detector_.CardRoot(), "");
    EXPECT_EQ(host_.Take(), (Events{"clear", "removed"}));
}

}  // namespace
}  // namespace torvane
