#include "base/password_keeping.h"

#include "common/messages.h"

namespace torvane {

PasswordKeepingSettings::PasswordKeepingSettings(ISettings& settings, ISecretStore& secrets,
                                                 IMessageSink& messages)
    : settings_(settings), secrets_(secrets), messages_(messages) {
    MovePlainPasswordToKeyring();
}

void PasswordKeepingSettings::MovePlainPasswordToKeyring() {
    const std::string plain = settings_.GetString(kSavedPasswordKey, "");
    if (plain.empty()) return;
    // Wiped whether or not the keyring takes it: the file must not hold it a day longer.
    KeepPassword(plain);
    settings_.SetString(kSavedPasswordKey, "");
}

int PasswordKeepingSettings::GetInt(std::string_view key, int fallback) const {
    return settings_.GetInt(key, fallback);
}

std::string PasswordKeepingSettings::GetString(std::string_view key,
                                               std::string_view fallback) const {
    if (key != kSavedPasswordKey) return settings_.GetString(key, fallback);
    const std::string account = settings_.GetString(kSavedIdKey, "");
    if (account.empty() || !secrets_.Available()) return std::string(fallback);
    return secrets_.Read(account).value_or(std::string(fallback));
}

void PasswordKeepingSettings::SetInt(std::string_view key, int value) {
    settings_.SetInt(key, value);
}

void PasswordKeepingSettings::SetString(std::string_view key, std::string_view value) {
    if (key != kSavedPasswordKey) return settings_.SetString(key, value);
    KeepPassword(std::string(value));
}

void PasswordKeepingSettings::KeepPassword(const std::string& password) {
    const std::string account = settings_.GetString(kSavedIdKey, "");
    if (account.empty()) return;
    if (!secrets_.Available()) {
        if (!password.empty()) SayNoKeyringOnce();
        return;
    }
    if (password.empty()) {
        secrets_.Erase(account);
    } else if (secrets_.Write(account, password)) {
        settings_.SetInt(kNoKeyringSaidKey, 0);
    } else {
        SayNoKeyringOnce();
    }
}

void PasswordKeepingSettings::SayNoKeyringOnce() {
    if (settings_.GetInt(kNoKeyringSaidKey, 0) == 1) return;
    messages_.Show(MessageKind::Information, kMsgNoKeyring);
    settings_.SetInt(kNoKeyringSaidKey, 1);
}

}  // namespace torvane
