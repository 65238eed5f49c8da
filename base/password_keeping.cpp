#include "base/password_keeping.h"

namespace torvane {

PasswordKeepingSettings::PasswordKeepingSettings(ISettings& settings, ISecretStore& secrets)
    : settings_(settings), secrets_(secrets) {
    MovePlainPasswordToKeyring();
}

void PasswordKeepingSettings::MovePlainPasswordToKeyring() {
    const std::string plain = settings_.GetString(kSavedPasswordKey, "");
    if (plain.empty()) return;
    // Wiped whether or not the keyring takes it: the file must not hold it a day longer.
    const Status kept = KeepPassword(plain);
    untold_.insert(untold_.end(), kept.notes().begin(), kept.notes().end());
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
    const Status kept = KeepPassword(std::string(value));
    untold_.insert(untold_.end(), kept.notes().begin(), kept.notes().end());
}

Status PasswordKeepingSettings::TakeUntold() {
    Status untold = Status::Ok();
    for (Message& note : untold_) untold.AddNote(std::move(note));
    untold_.clear();
    return untold;
}

Status PasswordKeepingSettings::KeepPassword(const std::string& password) {
    const std::string account = settings_.GetString(kSavedIdKey, "");
    if (account.empty()) return Status::Ok();
    if (!secrets_.Available()) return password.empty() ? Status::Ok() : NoKeyringOnce();
    if (password.empty()) {
        secrets_.Erase(account);
    } else if (secrets_.Write(account, password)) {
        settings_.SetInt(kNoKeyringSaidKey, 0);
    } else {
        return NoKeyringOnce();
    }
    return Status::Ok();
}

Status PasswordKeepingSettings::NoKeyringOnce() {
    if (settings_.GetInt(kNoKeyringSaidKey, 0) == 1) return Status::Ok();
    settings_.SetInt(kNoKeyringSaidKey, 1);
    return Status::Ok().WithNote(Say(MessageId::NoKeyring));
}

}  // namespace torvane
