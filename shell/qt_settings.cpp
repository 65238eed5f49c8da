#include "shell/qt_settings.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace torvane {
namespace {

QString Key(std::string_view key) {
    return QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

// The saved password lives in this file: it is made owner-only before the first value reaches it,
// rather than restricted after a write that others could have read.
void CreateOwnerOnly(const QString& fileName) {
    const QByteArray path = QFile::encodeName(fileName);
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    const int fd =
        ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) ::close(fd);
}

}  // namespace

QtSettings::QtSettings()
    : settings_(QSettings::NativeFormat, QSettings::UserScope, kSettingsOrganisation,
                kApplicationName) {
    CreateOwnerOnly(settings_.fileName());
}

QtSettings::QtSettings(const QString& fileName) : settings_(fileName, QSettings::IniFormat) {
    CreateOwnerOnly(settings_.fileName());
}

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
    // The settings are rewritten under a new name: that file too is owner-only from its start.
    const mode_t previous = ::umask(077);
    settings_.sync();
    ::umask(previous);
    QFile::setPermissions(settings_.fileName(), QFile::ReadOwner | QFile::WriteOwner);
}

}  // namespace torvane
