// The settings of the desktop app in QSettings (organisation "Torvane2012"). The file may hold a
// remembered password, so it is kept readable by its owner only.
#pragma once

#include <QSettings>

#include "base/settings.h"

namespace torvane {

class QtSettings final : public ISettings {
  public:
    QtSettings();
    // A settings file of its own (tests).
    explicit QtSettings(const QString& fileName);
    ~QtSettings() override;

    int GetInt(std::string_view key, int fallback) const override;
    std::string GetString(std::string_view key, std::string_view fallback) const override;
    void SetInt(std::string_view key, int value) override;
    void SetString(std::string_view key, std::string_view value) override;

    // Writes pending values and restricts the file to its owner.
    void Sync();
    QString FileName() const { return settings_.fileName(); }

  private:
    mutable QSettings settings_;
};

inline constexpr const char* kSettingsOrganisation = "Torvane2012";
inline constexpr const char* kApplicationName = "Torvane";

}  // namespace torvane
