// Two torvane-cli runs on one card: while a slow install holds the card, a second install and a
// backup wait, then refuse with the card untouched; the first one's work lands whole.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/messages.h"
#include "store/card_lock.h"
#include "store/default_xml.h"
#include "store/device_setup.h"
#include "tests/support/service_test_util.h"
#include "tools/demo_service/demo_service.h"

namespace torvane::test {
namespace {

namespace fs = std::filesystem;

class CliCardLockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        demo::FaultPlan slow;  // the big content trickles in for several seconds
        slow.pathPrefix = "/torvane/bench/";
        slow.body = demo::BodyFault::Slow;
        slow.slowChunkBytes = 16 * 1024;
        slow.slowDelayMs = 180;
        demo::DemoSettings settings;
        settings.bigFileMiB = 1;
        service_ = std::make_unique<demo::DemoService>(demo::DemoService::DefaultDataDir(), slow,
                                                       settings);
        ASSERT_TRUE(service_->Start(0)) << service_->Error();
        ASSERT_TRUE(CreateEmptyDevice(Card(), "1.0", "larkspin"));
    }

    std::string Card() const { return folder_ / "card"; }

    ProgramRun Cli(const std::vector<std::string>& command) const {
        std::vector<std::string> arguments = {TORVANE_CLI_BIN, "--user", "demo", "--device",
                                              Card()};
        arguments.insert(arguments.end(), command.begin(), command.end());
        return RunProgram(arguments, {},
                          {"TORVANE_SERVICE_URL=" + service_->BaseUrl(),
                           "TORVANE_PASSWORD=demo1234", "TORVANE_DEVICE"});
    }

    // True once another program holds the card's lock.
    bool HeldElsewhere() const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < deadline) {
            if (CardLock::Take(Card(), std::chrono::milliseconds(0)) == nullptr) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    }

    std::unique_ptr<demo::DemoService> service_;
    TempFolder folder_;
};

TEST_F(CliCardLockTest, ASecondWriterAndABackupRefuseWhileAnInstallHoldsTheCard) {
    auto slow = std::async(std::launch::async, [this] { return Cli({"install", "E9000"}); });
    ASSERT_TRUE(HeldElsewhere());

    const ProgramRun second = Cli({"install", "L0001"});
    EXPECT_EQ(second.exitCode, 3) << "refused, nothing changed";
    EXPECT_NE(second.err.find(kMsgCardBusy), std::string::npos) << second.err;
    const std::string archive = folder_ / "card.tvbackup";
    const ProgramRun backup = Cli({"device", "backup", archive});
    EXPECT_EQ(backup.exitCode, 3) << "refused, nothing changed";
    EXPECT_NE(backup.err.find(kMsgCardBusy), std::string::npos) << backup.err;
    EXPECT_FALSE(fs::exists(archive)) << "no archive of a card that was changing";

    const ProgramRun first = slow.get();
    ASSERT_EQ(first.exitCode, 0) << first.err;
    CDefaultXML database(Card());
    ASSERT_TRUE(database.Load().ok());
    EXPECT_TRUE(database.FindContent("single", "excellent", "E9000"));
    EXPECT_FALSE(database.FindContent("single", "language", "L0001"));
    EXPECT_FALSE(fs::exists(fs::path(Card()) / "ck2/en/word/00000001.qvx"))
        << "the refused install left no file behind";
    const ProgramRun check = Cli({"device", "check"});
    EXPECT_EQ(check.exitCode, 0) << check.out << check.err;
    EXPECT_NE(check.out.find(kMsgCardSound), std::string::npos) << check.out;

    // Once the card is free, both go through.
    EXPECT_EQ(Cli({"install", "L0001"}).exitCode, 0);
    EXPECT_EQ(Cli({"device", "backup", archive}).exitCode, 0);
    EXPECT_TRUE(fs::exists(archive));
}

}  // namespace
}  // namespace torvane::test
