#include "store/card_lock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <memory>
#include <string>

#include "store/card.h"
#include "store/device_setup.h"
#include "tests/support/temp_folder.h"

namespace torvane {
namespace {

using std::chrono::milliseconds;
constexpr milliseconds kShortWait{100};

TEST(CardLock, OneWriterAtATimePerCardWithinOneProcess) {
    test::TempFolder first;
    test::TempFolder second;
    auto held = CardLock::Take(first.str(), kShortWait);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(CardLock::Take(first.str(), kShortWait), nullptr) << "a second job on the same card";
    EXPECT_EQ(CardLock::Take(first.str() + "/", kShortWait), nullptr)
        << "the same card, spelled so";
    EXPECT_NE(CardLock::Take(second.str(), kShortWait), nullptr) << "another card is free";
    held.reset();
    EXPECT_NE(CardLock::Take(first.str(), kShortWait), nullptr) << "free once the first is done";
}

TEST(CardLock, NeverLeavesAFileOnTheCard) {
    test::TempFolder card;
    const auto held = CardLock::Take(card.str(), kShortWait);
    ASSERT_NE(held, nullptr);
    EXPECT_TRUE(std::filesystem::is_empty(card.path()));
    EXPECT_NE(CardLock::LockFilePath(card.str()).rfind(card.str(), 0), 0u);
}

TEST(CardLock, AKilledHolderLeavesTheCardFree) {
    test::TempFolder card;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const auto held = CardLock::Take(card.str(), milliseconds(0));
        const char taken = held ? 'y' : 'n';
        (void)!::write(ready[1], &taken, 1);
        ::pause();
        ::_exit(0);
    }
    char taken = 0;
    ASSERT_EQ(::read(ready[0], &taken, 1), 1);
    ASSERT_EQ(taken, 'y');
    EXPECT_EQ(CardLock::Take(card.str(), kShortWait), nullptr) << "the other process holds it";
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    EXPECT_NE(CardLock::Take(card.str(), kShortWait), nullptr) << "no stale lock after a kill";
    ::close(ready[0]);
    ::close(ready[1]);
}

// Two programs on one card, each with its own Card: the second one's work, done while the first
// held old copies of the databases, survives the first one's next change.
TEST(CardLock, TakingTheLockReadsAgainWhatAnotherProgramChanged) {
    test::TempFolder folder;
    ASSERT_TRUE(CreateEmptyDevice(folder.str(), "1.0.3", "2"));
    Card app(folder.str());
    ASSERT_TRUE(app.LoadDatabase().ok());
    ASSERT_TRUE(app.LoadDiy().ok());

    {
        Card other(folder.str());
        const auto lock = other.Lock(kShortWait);
        ASSERT_NE(lock, nullptr);
        ASSERT_TRUE(other.LoadDatabase().ok());
        ASSERT_TRUE(other.LoadDiy().ok());
        other.database().setSystemVersion("2.0.0");
        ASSERT_TRUE(other.database().Save().ok());
        DiySlot& slot = other.diy().records()[0].slots[0];
        slot = {"노래", "2026-12-11T01-00-00", "re1_0.mp3"};
        ASSERT_TRUE(other.diy().SaveDiyFile().ok());
        ASSERT_TRUE(other.diy().SaveRecTable().ok());
    }

    // Without the lock the old copies are never saved over the other program's work.
    EXPECT_FALSE(app.Present());
    EXPECT_FALSE(app.diy().SaveDiyFile().ok());

    const auto lock = app.Lock(kShortWait);
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(app.Reloads(), 1u);
    EXPECT_EQ(app.database().systemVersion(), "2.0.0");
    EXPECT_EQ(app.diy().records()[0].slots[0].name, "노래");
    app.diy().records()[1].slots[0] = {"둘째", "2026-12-11T01-01-00", "re1_1.mp3"};
    ASSERT_TRUE(app.diy().SaveDiyFile().ok());
    ASSERT_TRUE(app.database().Save().ok());

    Card later(folder.str());
    ASSERT_TRUE(later.LoadDiy().ok());
    ASSERT_TRUE(later.LoadDatabase().ok());
    EXPECT_EQ(later.diy().records()[0].slots[0].name, "노래");
    EXPECT_EQ(later.diy().records()[1].slots[0].name, "둘째");
    EXPECT_EQ(later.database().systemVersion(), "2.0.0");
    EXPECT_EQ(app.Lock(milliseconds(0)), nullptr) << "still held by this program";
}

TEST(CardLock, ACardReplacedAtItsPathIsNeverReadAgainNorWritten) {
    test::TempFolder parent;
    const std::string root = parent.Folder("card");
    ASSERT_TRUE(CreateEmptyDevice(root, "1.0.3", "2"));
    Card app(root);
    ASSERT_TRUE(app.LoadDatabase().ok());
    std::filesystem::rename(root, parent / "gone");
    ASSERT_TRUE(CreateEmptyDevice(parent.Folder("card"), "9.9.9", "2"));

    const auto lock = app.Lock(kShortWait);
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(app.Reloads(), 0u);
    EXPECT_EQ(app.database().systemVersion(), "1.0.3");
    EXPECT_FALSE(app.database().Save().ok());
}

}  // namespace
}  // namespace torvane
