// The app on a Linux desktop: Qt's own dialogs in Korean, the folders the file dialogs open in,
// and the artwork's light colours under a dark desktop theme.
#include "ui/desktop_look.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "base/settings.h"
#include "service/login_dialog.h"
#include "service/session.h"
#include "tests/support/recording_sink.h"
#include "tools/dev_app/screenshot.h"

namespace torvane {

class DesktopLookTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void standardButtonsSpeakKorean() {
        QVERIFY(InstallKoreanQtTranslations());
        QMessageBox box(QMessageBox::Question, QString(), QString(),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QVERIFY2(box.button(QMessageBox::Yes)->text().contains(QStringLiteral("예")),
                 qPrintable(box.button(QMessageBox::Yes)->text()));
        QVERIFY(box.button(QMessageBox::No)->text().contains(QStringLiteral("아니요")));
        QVERIFY(box.button(QMessageBox::Cancel)->text().contains(QStringLiteral("취소")));
    }

    void fileDialogsStartInTheUsersFolders() {
        const QString home = QDir::homePath();
        for (const auto& [name, folder] :
             {std::pair{"Music", &RecordingsFolder}, std::pair{"Documents", &BackupsFolder}}) {
            QDir(home).rmdir(name);
            QCOMPARE(folder(), home);  // never the program's working folder
            QVERIFY(QDir(home).mkdir(name));
            QCOMPARE(folder(), home + "/" + name);
        }
    }

    void artworkKeepsDarkTextUnderADarkTheme() {
        const QPalette desktop = QApplication::palette();
        QApplication::setPalette(DarkDesktopPalette());

        ServiceSession session;
        MemorySettings settings;
        test::RecordingSink sink;
        CLoginDlg dialog(session, settings, sink);
        const auto boxes = dialog.findChildren<QCheckBox*>();
        QCOMPARE(boxes.size(), 2);
        for (const QCheckBox* box : boxes) {
            // The labels stand on the cream artwork: they must stay dark.
            QVERIFY(box->palette().color(QPalette::WindowText).lightness() < 100);
            QVERIFY(box->palette().color(QPalette::Base).lightness() > 200);
        }
        QApplication::setPalette(desktop);
    }
};

}  // namespace torvane

QTEST_MAIN(torvane::DesktopLookTest)
#include "desktop_look_test.moc"
