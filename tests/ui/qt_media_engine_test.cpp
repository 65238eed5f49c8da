// The platform's media engine plays a short WAV file from start to end, announcing its states
// and reporting position, duration and the item's name.

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "ui/player.h"

namespace {

// Silence, 8 kHz mono 16-bit.
QByteArray SilentWav(int seconds) {
    const quint32 rate = 8000, bytes = rate * 2 * seconds;
    QByteArray wav;
    auto put32 = [&](quint32 v) {
        for (int i = 0; i < 4; ++i) wav.append(char((v >> (8 * i)) & 0xFF));
    };
    auto put16 = [&](quint16 v) {
        wav.append(char(v & 0xFF));
        wav.append(char(v >> 8));
    };
    wav.append("RIFF");
    put32(36 + bytes);
    wav.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(1);
    put32(rate);
    put32(rate * 2);
    put16(2);
    put16(16);
    wav.append("data");
    put32(bytes);
    wav.append(QByteArray(bytes, '\0'));
    return wav;
}

}  // namespace

class QtMediaEngineTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void playsAFileToItsEnd_data() {
        QTest::addColumn<bool>("asAddress");
        QTest::newRow("path") << false;
        QTest::newRow("file address") << true;
    }
    void playsAFileToItsEnd() {
        QFETCH(bool, asAddress);
        QTemporaryDir dir;
        const QString path = dir.filePath("동요.wav");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(SilentWav(1));
        file.close();

        auto engine = torvane::CreateQtMediaEngine();
        QVERIFY(engine->Initialise());
        QList<torvane::MediaPlayState> states;
        engine->SetStateListener([&](torvane::MediaPlayState s) { states << s; });
        QVERIFY(!engine->HasCurrentItem());

        engine->Open(asAddress ? QUrl::fromLocalFile(path).toString() : path);
        QTRY_VERIFY_WITH_TIMEOUT(states.contains(torvane::MediaPlayState::Playing), 10000);
        QCOMPARE(engine->ItemName(), QStringLiteral("동요"));
        QTRY_VERIFY_WITH_TIMEOUT(engine->Duration() > 0.5, 10000);
        QCOMPARE(engine->DurationString(), QStringLiteral("00:01"));
        QTRY_VERIFY_WITH_TIMEOUT(states.endsWith(torvane::MediaPlayState::Stopped), 15000);
        QCOMPARE(engine->PositionString(), QString());  // nothing playing: no position

        engine->SetVolume(30);
        QCOMPARE(engine->Volume(), 30);
        engine->SetMuted(true);
        QVERIFY(engine->IsMuted());
    }
};

QTEST_MAIN(QtMediaEngineTest)
#include "qt_media_engine_test.moc"
