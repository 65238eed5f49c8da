// The program's pictures and font: every picture renders at its own size, the windows find the
// pictures they load at the sizes they draw them, and the font shows Hangul.

#include "ui/pictures.h"

#include <QDir>
#include <QFontMetrics>
#include <QTest>

#include "ui/app_font.h"

class PicturesTest : public QObject {
    Q_OBJECT

  private slots:
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
        QTest::newRow("top bar") << 206 << QSize(955, 75);
        QTest::newRow("left menu") << 205 << QSize(199, 501);
        QTest::newRow("content button on") << 208 << QSize(200, 90);
        QTest::newRow("update button off") << 209 << QSize(200, 90);
        QTest::newRow("frame top") << 214 << QSize(755, 20);
        QTest::newRow("frame right") << 213 << QSize(23, 641);
        // Top bar and player.
        QTest::newRow("close button on") << 245 << QSize(36, 36);
        QTest::newRow("logo") << 217 << QSize(124, 74);
        QTest::newRow("player panel") << 285 << QSize(413, 64);
        QTest::newRow("player play on") << 235 << QSize(45, 33);
        QTest::newRow("sound on") << 216 << QSize(14, 16);
        QTest::newRow("volume knob") << 225 << QSize(17, 8);
        QTest::newRow("position knob") << 224 << QSize(7, 15);
        // Pager, left menu, child name page, update page.
        QTest::newRow("pager next") << 203 << QSize(21, 21);
        QTest::newRow("menu category") << 328 << QSize(199, 36);
        QTest::newRow("menu entry") << 334 << QSize(199, 21);
        QTest::newRow("name voice request") << 177 << QSize(119, 23);
        QTest::newRow("child delete") << 192 << QSize(41, 23);
        QTest::newRow("update tab B on") << 202 << QSize(131, 32);
        QTest::newRow("reset install") << 197 << QSize(223, 75);
    }
    void windowsFindTheirPictures() {
        QFETCH(int, id);
        QFETCH(QSize, size);
        QVERIFY(torvane::HasPicture(id));
        QCOMPARE(torvane::LoadPicture(id).size(), size);
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
