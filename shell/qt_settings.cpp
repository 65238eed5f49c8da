#include "shell/qt_settings.h"

#include <QFile>

namespace torvane {
namespace {

QString Key(std::string_view key) {
    return QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

}  // namespace

QtSettings::QtSettings()
    : settings_(QSettings::NativeFormat, QSettings::UserScope, kSettingsOrganisation,
                kApplicationName) {}

QtSettings::QtSettings(const QString& fileName) : settings_(fileName, QSettings::IniFormat) {}

QtSettings::~QtSettings() {
    Sync();
}

int QtSettings::GetInt(std::string_view key, int fallback) const {
    bool ok = false;
    const int value = settings_.value(Key(key), fallback).toInt(&ok);
    return ok ? value : fallback;
}

std::string QtSettings::GetString(std::string_view key, std::string_view fallback) const {
    return settings_.value(Key(key), Key(fallback)).toString().toStdString();
}

void QtSettings::SetInt(std::string_view key, int value) {
    settings_.setValue(Key(key), value);
}

void QtSettings::SetString(std::string_view key, std::string_view value) {
    settings_.setValue(Key(key), Key(value));
}

void QtSettings::Sync() {
    settings_.sync();
    QFile::setPermissions(settings_.fileName(), QFile::ReadOwner | QFile::WriteOwner);
}

}  // namespace torvane
