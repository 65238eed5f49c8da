// The saved password goes to the keyring and never into the settings file: a password left there
// by an earlier version is moved out, and a desktop without a keyring keeps no password at all.
#include "base/password_keeping.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "common/messages.h"

namespace torvane {
namespace {

class MapKeyring final : public ISecretStore {
  public:
    bool available = true;
    bool refusesWrites = false;
    std::map<std::string, std::string> secrets;

    bool Available() override { return available; }
    std::optional<std::string> Read(const std::string& account) override {
        const auto found = secrets.find(account);
        if (!available || found == secrets.end()) return std::nullopt;
        return found->second;
    }
    bool Write(const std::string& account, const std::string& secret) override {
        if (!available || refusesWrites) return false;
        secrets[account] = secret;
        return true;
    }
    bool Erase(const std::string& account) override { return secrets.erase(account) == 1; }
};

class PasswordKeepingTest : public testing::Test {
  protected:
    MemorySettings file;
    MapKeyring keyring;
    // Every note the views left to tell, as the front end took them.
    std::vector<Message> told;

    void OldVersionSaved(const std::string& id, const std::string& password) {
        file.SetString(kSavedIdKey, id);
        file.SetString(kSavedPasswordKey, password);
    }
    void Tell(PasswordKeepingSettings& settings) {
        const Status untold = settings.TakeUntold();
        EXPECT_TRUE(untold.ok());
        told.insert(told.end(), untold.notes().begin(), untold.notes().end());
    }
    int NoKeyringNotices() const {
        return static_cast<int>(std::count(told.begin(), told.end(), Say(MessageId::NoKeyring)));
    }
};

TEST_F(PasswordKeepingTest, PlainPasswordOfAnEarlierVersionMovesToTheKeyring) {
    OldVersionSaved("demo", "demo1234");
    PasswordKeepingSettings settings(file, keyring);
    EXPECT_EQ(file.GetString(kSavedPasswordKey, "?"), "");
    EXPECT_EQ(keyring.secrets.at("demo"), "demo1234");
    EXPECT_EQ(settings.GetString(kSavedPasswordKey, ""), "demo1234");
    EXPECT_EQ(settings.GetString(kSavedIdKey, ""), "demo");
    Tell(settings);
    EXPECT_TRUE(told.empty());
}

TEST_F(PasswordKeepingTest, WithoutAKeyringNothingIsKeptAndTheParentIsToldOnce) {
    for (const bool refusesWrites : {false, true}) {
        SCOPED_TRACE(refusesWrites ? "the keyring refuses" : "no keyring");
        file = MemorySettings();
        told.clear();
        keyring.available = refusesWrites;
        keyring.refusesWrites = refusesWrites;
        OldVersionSaved("demo", "demo1234");
        PasswordKeepingSettings settings(file, keyring);
        EXPECT_EQ(file.GetString(kSavedPasswordKey, "?"), "");  // wiped even so
        Tell(settings);
        settings.SetString(kSavedPasswordKey, "newer5678");  // the next sign-in
        Tell(settings);
        PasswordKeepingSettings nextRun(file, keyring);
        EXPECT_EQ(nextRun.KeepPassword("newer5678").notes(), std::vector<Message>{});
        nextRun.SetString(kSavedPasswordKey, "newer5678");
        Tell(nextRun);
        EXPECT_EQ(file.GetString(kSavedPasswordKey, "?"), "");
        EXPECT_EQ(NoKeyringNotices(), 1);
        EXPECT_TRUE(keyring.secrets.empty());
    }
}

TEST_F(PasswordKeepingTest, SignInWritesAndClearsTheKeyringEntryOfTheSavedId) {
    PasswordKeepingSettings settings(file, keyring);
    settings.SetString(kSavedIdKey, "kim");
    settings.SetString(kSavedPasswordKey, "pass1");
    EXPECT_EQ(keyring.secrets.at("kim"), "pass1");
    EXPECT_FALSE(file.Has(kSavedPasswordKey));
    settings.SetString(kSavedPasswordKey, "");  // "패스워드저장" unticked
    EXPECT_TRUE(keyring.secrets.empty());
    EXPECT_EQ(settings.GetString(kSavedPasswordKey, ""), "");
}

}  // namespace
}  // namespace torvane
