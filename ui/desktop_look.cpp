#include "ui/desktop_look.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QPalette>
#include <QStandardPaths>
#include <QTranslator>
#include <QWidget>

namespace torvane {
namespace {

QString ExistingOrHome(QStandardPaths::StandardLocation location) {
    const QString folder = QStandardPaths::writableLocation(location);
    return !folder.isEmpty() && QDir(folder).exists() ? folder : QDir::homePath();
}

}  // namespace

bool InstallKoreanQtTranslations() {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    bool loaded = false;
    // qtbase holds the standard buttons and the file chooser; the others the player and the
    // web view's menus.
    for (const char* catalogue : {"qtbase", "qtmultimedia", "qtwebengine"}) {
        auto* translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(QLocale(QLocale::Korean, QLocale::SouthKorea),
                             QString::fromLatin1(catalogue), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(translator);
            loaded = true;
        } else {
            delete translator;
        }
    }
    return loaded;
}

QString RecordingsFolder() {
    return ExistingOrHome(QStandardPaths::MusicLocation);
}

QString BackupsFolder() {
    return ExistingOrHome(QStandardPaths::DocumentsLocation);
}

void UseArtworkPalette(QWidget& window) {
    // The colours of the artwork's own widgets: dark text on white and cream.
    QPalette palette;
    const QColor text(0x33, 0x33, 0x33);
    const QColor cream(0xFF, 0xFB, 0xF2);
    palette.setColor(QPalette::Window, cream);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::AlternateBase, cream);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(0xF2, 0xEE, 0xE6));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xDC));
    palette.setColor(QPalette::ToolTipText, Qt::black);
    palette.setColor(QPalette::PlaceholderText, QColor(0x99, 0x99, 0x99));
    palette.setColor(QPalette::Highlight, QColor(0x30, 0x8C, 0xC6));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Light, Qt::white);
    palette.setColor(QPalette::Midlight, QColor(0xE8, 0xE4, 0xDC));
    palette.setColor(QPalette::Mid, QColor(0xB8, 0xB4, 0xAC));
    palette.setColor(QPalette::Dark, QColor(0x88, 0x84, 0x7C));
    palette.setColor(QPalette::Shadow, QColor(0x40, 0x40, 0x40));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x99, 0x99, 0x99));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x99, 0x99, 0x99));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x99, 0x99, 0x99));
    window.setPalette(palette);
}

}  // namespace torvane
