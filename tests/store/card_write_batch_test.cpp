#include "store/card_write_batch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/store_test_support.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TempFolder;

// The temporaries a write left in the card's folders.
std::vector<std::string> Temporaries(const TempFolder& card) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(card.path())) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(".~", 0) == 0) names.push_back(name);
    }
    return names;
}

// Three sound files of one content in two folders of the card, one replacing an older file.
class CardWriteBatchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (std::size_t i = 0; i < kNames.size(); ++i)
            staging.WriteFile(kNames[i],
                              std::string(40'000 + i * 1000, static_cast<char>('a' + i)));
        card.WriteFile(kNames[1], "an older sound");
        card.Folder("ck2/ko/1");
        card.Folder("ck2/ko/2");
    }

    bool CopyAll(CardWriteBatch& batch) const {
        for (const std::string& name : kNames)
            if (!batch.Copy(staging / name, card / name)) return false;
        return true;
    }

    // Each file on the card is either what was there before or the whole new one.
    void ExpectOldOrWhole(const std::string& when) const {
        EXPECT_TRUE(Temporaries(card).empty()) << when;
        for (const std::string& name : kNames) {
            if (!fs::exists(card / name)) continue;
            const std::string bytes = ReadFile(card / name);
            EXPECT_TRUE(bytes == ReadFile(staging / name) ||
                        (name == kNames[1] && bytes == "an older sound"))
                << when << ": " << name;
        }
    }

    bool Replaced(const std::string& name) const {
        return fs::exists(card / name) && ReadFile(card / name) == ReadFile(staging / name);
    }

    const std::vector<std::string> kNames = {"ck2/ko/1/00000001.qvx", "ck2/ko/1/00000002.qvx",
                                             "ck2/ko/2/00000003.qvx"};
    TempFolder staging;
    TempFolder card;
};

TEST_F(CardWriteBatchTest, NamesTheFilesOnlyOnCommit) {
    CardWriteBatch batch;
    ASSERT_TRUE(CopyAll(batch));
    EXPECT_EQ(batch.size(), kNames.size());
    EXPECT_EQ(Temporaries(card).size(), kNames.size());
    EXPECT_EQ(ReadFile(card / kNames[1]), "an older sound");
    EXPECT_FALSE(fs::exists(card / kNames[0]));

    ASSERT_TRUE(batch.Commit());
    for (const std::string& name : kNames) EXPECT_TRUE(Replaced(name)) << name;
    EXPECT_TRUE(Temporaries(card).empty());
    EXPECT_EQ(batch.size(), 0u);
}

TEST_F(CardWriteBatchTest, ABatchDroppedOrDiscardedLeavesTheCardAsItWas) {
    {
        CardWriteBatch dropped;  // as when the job stops before its renames
        ASSERT_TRUE(CopyAll(dropped));
    }
    ExpectOldOrWhole("dropped");
    EXPECT_EQ(ReadFile(card / kNames[1]), "an older sound");
    EXPECT_FALSE(fs::exists(card / kNames[0]));

    CardWriteBatch discarded;
    ASSERT_TRUE(CopyAll(discarded));
    discarded.Discard();
    EXPECT_TRUE(discarded.Commit());  // nothing left to name
    EXPECT_EQ(ReadFile(card / kNames[1]), "an older sound");
    EXPECT_TRUE(Temporaries(card).empty());
}

TEST_F(CardWriteBatchTest, AFileCopiedOntoItselfIsLeftAlone) {
    CardWriteBatch batch;
    ASSERT_TRUE(batch.Copy(card / kNames[1], card / kNames[1]));
    EXPECT_EQ(batch.size(), 0u);
    ASSERT_TRUE(batch.Commit());
    EXPECT_EQ(ReadFile(card / kNames[1]), "an older sound");
}

// The card failing in the middle of every write and at every rename (a card that fills up or is
// pulled): no temporary stays, no file is half written, and a failure that strikes once all the
// bytes are written but before the first rename replaces nothing.
TEST_F(CardWriteBatchTest, ACardCutAnywhereLeavesWholeFilesAndNoTemporary) {
    CardFaults::FailAfter(std::nullopt);
    {
        CardWriteBatch batch;
        ASSERT_TRUE(CopyAll(batch));
        ASSERT_TRUE(batch.Commit());
    }
    const std::vector<CardFaults::Write> writes = CardFaults::Writes();
    CardFaults::Clear();
    ASSERT_GE(writes.size(), kNames.size() * 2);
    const std::size_t firstRename = writes.size() - kNames.size();
    for (std::size_t i = 0; i < writes.size(); ++i) {
        fs::remove_all(card.path());
        SetUp();
        const std::string when = "cut in write " + std::to_string(i + 1);
        CardFaults::FailAfter(writes[i].start + writes[i].size / 2);
        {
            CardWriteBatch batch;
            EXPECT_FALSE(CopyAll(batch) && batch.Commit()) << when;
        }
        CardFaults::Clear();
        ExpectOldOrWhole(when);
        // The renames come in the order of the files: those before the cut are whole.
        for (std::size_t f = 0; f < kNames.size(); ++f)
            EXPECT_EQ(Replaced(kNames[f]), i > firstRename + f) << when << ": " << kNames[f];
    }
}

}  // namespace
}  // namespace torvane
