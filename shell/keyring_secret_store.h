// The desktop's keyring (the Secret Service: GNOME Keyring, KWallet) through QtKeychain. Each
// call waits for the keyring's answer; a keyring that must be unlocked asks the parent itself.
#pragma once

#include <QString>
#include <optional>

#include "base/password_keeping.h"

namespace torvane {

class KeyringSecretStore final : public ISecretStore {
  public:
    // Secrets are filed under `service` ("Torvane") and the account name.
    explicit KeyringSecretStore(QString service);

    bool Available() override;
    std::optional<std::string> Read(const std::string& account) override;
    bool Write(const std::string& account, const std::string& secret) override;
    bool Erase(const std::string& account) override;

  private:
    QString service_;
    std::optional<bool> available_;  // asked once per run
};

}  // namespace torvane
