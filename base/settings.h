// The program's persistent settings: the saved sign-in values and the service address. QSettings
// in the app, a map in tests. Keys are "GROUP/NAME", for example "LOGIN/CKID".
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace torvane {

class ISettings {
  public:
    virtual ~ISettings() = default;
    virtual int GetInt(std::string_view key, int fallback) const = 0;
    virtual std::string GetString(std::string_view key, std::string_view fallback) const = 0;
    virtual void SetInt(std::string_view key, int value) = 0;
    virtual void SetString(std::string_view key, std::string_view value) = 0;
};

class MemorySettings final : public ISettings {
  public:
    int GetInt(std::string_view key, int fallback) const override;
    std::string GetString(std::string_view key, std::string_view fallback) const override;
    void SetInt(std::string_view key, int value) override;
    void SetString(std::string_view key, std::string_view value) override;

    bool Has(std::string_view key) const { return values_.count(std::string(key)) != 0; }

  private:
    std::map<std::string, std::string, std::less<>> values_;
};

// The sign-in values remembered between runs.
inline constexpr std::string_view kRememberIdKey = "LOGIN/CKID";
inline constexpr std::string_view kRememberPasswordKey = "LOGIN/CKPASS";
inline constexpr std::string_view kSavedIdKey = "LOGIN/ID";
inline constexpr std::string_view kSavedPasswordKey = "LOGIN/PASS";
// The content service's base address, below the command line and TORVANE_SERVICE_URL.
inline constexpr std::string_view kServiceUrlKey = "SERVICE/URL";

// What the sign-in dialog shows when it opens.
struct SavedSignIn {
    bool rememberId = false;
    bool rememberPassword = false;
    std::string id;
    std::string password;  // only filled when the password is remembered
};

SavedSignIn LoadSavedSignIn(const ISettings& settings);

}  // namespace torvane
