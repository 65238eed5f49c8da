// The saved sign-in password lives in the desktop's keyring, never in the settings file. A
// settings view wraps the program's settings: the password key is read from and written to the
// keyring under the saved id, every other key passes through. An old plain password left in the
// file by an earlier version is moved to the keyring and wiped from the file. Without a keyring
// the password is not kept at all, and the parent is told so once: the view returns that note and
// the front end tells it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/settings.h"
#include "common/status.h"

namespace torvane {

// A store of secrets by account (the Secret Service in the app, a map in tests).
class ISecretStore {
  public:
    virtual ~ISecretStore() = default;
    // False when no keyring answers on this desktop session.
    virtual bool Available() = 0;
    // The secret of `account`; nullopt when there is none or the keyring did not answer.
    virtual std::optional<std::string> Read(const std::string& account) = 0;
    virtual bool Write(const std::string& account, const std::string& secret) = 0;
    virtual bool Erase(const std::string& account) = 0;
};

class PasswordKeepingSettings final : public ISettings {
  public:
    // `settings` and `secrets` outlive this view. Moves an old plain password out of `settings`
    // at once; what that leaves to tell waits in TakeUntold.
    PasswordKeepingSettings(ISettings& settings, ISecretStore& secrets);

    int GetInt(std::string_view key, int fallback) const override;
    std::string GetString(std::string_view key, std::string_view fallback) const override;
    void SetInt(std::string_view key, int value) override;
    // The password key goes to KeepPassword; its note waits in TakeUntold.
    void SetString(std::string_view key, std::string_view value) override;

    // Keeps `password` for the saved id in the keyring, or erases the entry when it is empty.
    // Ok; with the NoKeyring note when this desktop cannot keep it and the parent was never told
    // (the note is then counted as told: the caller tells it).
    Status KeepPassword(const std::string& password);
    // The notes the password kept through SetString or moved at construction left to tell, once;
    // a plain Ok afterwards.
    Status TakeUntold();

  private:
    void MovePlainPasswordToKeyring();
    // The NoKeyring note when the parent was never told that passwords cannot be kept here.
    Status NoKeyringOnce();

    ISettings& settings_;
    ISecretStore& secrets_;
    std::vector<Message> untold_;
};

// Set once the parent was told that this desktop has no keyring.
inline constexpr std::string_view kNoKeyringSaidKey = "LOGIN/NOKEYRING";

}  // namespace torvane
