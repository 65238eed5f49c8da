// The program's pictures and font: every picture renders at its own size, the windows find the
// pictures they load at the sizes they draw them, and the font shows Hangul.

#include "ui/pictures.h"

#include <QDir>
#include <QFontMetrics>
#include <QTest>

#include "ui/app_font.h"
#include "ui/picture_ids.h"

class PicturesTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void everyPictureRendersAtItsOwnSize() {
        QVERIFY(QFile::exists(torvane::PicturePath(QStringLiteral("HomeBG"))));
        const QStringList files = QDir(":/pictures").entryList({"*.svg"});
        QVERIFY(files.size() > 100);
        for (const QString& file : files) {
            bool numeric = false;
            const int id = QFileInfo(file).completeBaseName().toInt(&numeric);
            if (!numeric) continue;
            const QPixmap picture = torvane::LoadPicture(id);
            QVERIFY2(!picture.isNull(), qPrintable(file));
            QVERIFY2(picture.width() > 0 && picture.height() > 0, qPrintable(file));
        }
    }

    void windowsFindTheirPictures_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QSize>("size");
        // Main window: top bar, left menu base, content and update buttons, frame.
        QTest::newRow("top bar") << torvane::pic::kTopBar << QSize(955, 75);
        QTest::newRow("left menu") << torvane::pic::kLeftMenu << QSize(199, 501);
        QTest::newRow("content button on") << torvane::pic::kContentButtonOn << QSize(200, 90);
        QTest::newRow("update button off") << torvane::pic::kUpdateButtonOff << QSize(200, 90);
        QTest::newRow("frame top") << torvane::pic::kFrameTop << QSize(755, 20);
        QTest::newRow("frame right") << torvane::pic::kFrameRight << QSize(23, 641);
        // Top bar and player.
        QTest::newRow("close button on") << torvane::pic::kCloseOn << QSize(36, 36);
        QTest::newRow("logo") << torvane::pic::kLogo << QSize(124, 74);
        QTest::newRow("player panel") << torvane::pic::kPlayerPanel << QSize(413, 64);
        QTest::newRow("player play on") << torvane::pic::kPlayerPlayOn << QSize(45, 33);
        QTest::newRow("sound on") << torvane::pic::kSoundOn << QSize(14, 16);
        QTest::newRow("volume knob") << torvane::pic::kVolumeKnob << QSize(17, 8);
        QTest::newRow("position knob") << torvane::pic::kPositionKnob << QSize(7, 15);
        // Pager, left menu, child name page, update page.
        QTest::newRow("pager next") << torvane::pic::kPagerNext << QSize(21, 21);
        QTest::newRow("menu category") << torvane::pic::kMenuMoreContents << QSize(199, 36);
        QTest::newRow("menu entry") << torvane::pic::kMenuSpecial << QSize(199, 21);
        QTest::newRow("name voice request") << torvane::pic::kNameVoiceRequest << QSize(119, 23);
        QTest::newRow("child delete") << torvane::pic::kChildDelete << QSize(41, 23);
        QTest::newRow("update tab B on") << torvane::pic::kUpdateTabResetOn << QSize(131, 32);
        QTest::newRow("reset install") << torvane::pic::kInstallReset << QSize(223, 75);
    }
    void windowsFindTheirPictures() {
        QFETCH(int, id);
        QFETCH(QSize, size);
        QVERIFY(torvane::HasPicture(id));
        QCOMPARE(torvane::LoadPicture(id).size(), size);
    }

    // Buttons are read aloud by the words of their pictures, so every entry of the texts must
    // name a picture that exists, and a picture of words must carry exactly those words.
    void picturesSayWhatTheyShow() {
        for (const torvane::pic::Text& entry : torvane::pic::kTexts) {
            QVERIFY2(torvane::HasPicture(entry.id), entry.text);
            QCOMPARE(torvane::PictureText(entry.id), QString::fromUtf8(entry.text));
        }
        QCOMPARE(torvane::PictureText(torvane::pic::kLoginSignInOff), QStringLiteral("로그인"));
        QCOMPARE(torvane::PictureText(torvane::pic::kTransferOn), QStringLiteral("전송"));
        QCOMPARE(torvane::PictureText(torvane::pic::kBackOff), QStringLiteral("뒤로"));
        QVERIFY(torvane::PictureText(torvane::pic::kFrameTop).isEmpty());
        QVERIFY(torvane::PictureText(99999).isEmpty());
        // The words drawn in a picture are the words it is read by.
        QFile transfer(torvane::PicturePath(torvane::pic::kTransferOff));
        QVERIFY(transfer.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(transfer.readAll()).contains(QStringLiteral(">전송</text>")));
    }

    void missingPictureIsNull() {
        QVERIFY(!torvane::HasPicture(99999));
        QVERIFY(torvane::LoadPicture(99999).isNull());
        QVERIFY(torvane::LoadPicture(0).isNull());
        QVERIFY(torvane::LoadPicture(-1).isNull());
    }

    void appFontShowsHangul() {
        const QFont font = torvane::AppFont(9, true);
        QCOMPARE(font.pointSize(), 9);
        QCOMPARE(font.weight(), QFont::Bold);
        QCOMPARE(torvane::AppFont(8).weight(), QFont::Normal);
        const QFontMetrics metrics(font);
        for (QChar ch : QStringLiteral("저장장치를 찾을 수 없습니다")) {
            if (!ch.isSpace()) QVERIFY2(metrics.inFont(ch), qPrintable(QString(ch)));
        }
    }
};

QTEST_MAIN(PicturesTest)
#include "pictures_test.moc"
