// The sound preview player: its play list, its knobs and texts, mute and volume, and the play
// states it forwards, over a scripted engine.

#include "ui/player.h"

#include <QSignalSpy>
#include <QTest>

#include "tests/support/fake_media_engine.h"

using torvane::CImgButton;
using torvane::CPlayer;
using torvane::IdOf;
using torvane::MainWindowId;
using torvane::MediaPlayState;
using torvane::test::FakeMediaEngine;

namespace {

class RecordingOwner : public torvane::IPlayLCDEvent {
  public:
    QStringList calls;
    void OnPlayStopped() override { calls << "stopped"; }
    void OnPlayStarted() override { calls << "started"; }
    void OnPlayPaused() override { calls << "paused"; }
};

// A loaded player panel at its place in the main window, over a fake engine.
struct PlayerFixture {
    FakeMediaEngine::Script script;
    QStringList log;
    RecordingOwner owner;
    FakeMediaEngine* engine = nullptr;
    std::unique_ptr<CPlayer> player;

    explicit PlayerFixture(int volume = 50, bool engineWorks = true) {
        script.volume = volume;
        script.initialiseResult = engineWorks;
        auto fake = std::make_unique<FakeMediaEngine>(&script, &log);
        engine = fake.get();
        player = std::make_unique<CPlayer>(nullptr, 0, 0, 344, 7, 757, 71, &owner, std::move(fake));
    }
    CImgButton& Child(MainWindowId id) { return *player->Child(id); }
};

}  // namespace

class PlayerTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void loadBuildsTheChildrenAtTheirPlaces() {
        PlayerFixture f(50);
        QVERIFY(f.player->Load());
        QCOMPARE(f.Child(MainWindowId::PlayerPrevious).Rect(), QRect(359, 10, 33, 33));
        QCOMPARE(f.Child(MainWindowId::PlayerPlay).Rect(), QRect(464, 10, 45, 33));
        // The volume knob stands where the engine's volume puts it: 383 + 50 * 89 / 100.
        QCOMPARE(f.Child(MainWindowId::PlayerVolumeKnob).Rect(), QRect(427, 56, 17, 8));
        QCOMPARE(f.Child(MainWindowId::PlayerSound).State(), 1);
        QCOMPARE(f.player->TimeText(), QStringLiteral("00:00 / 00:00"));
    }

    void loadFailsWithoutAnEngine() {
        PlayerFixture f(50, false);
        QVERIFY(!f.player->Load());
        QVERIFY(f.player->Engine() == nullptr);
        // Without an engine every control is harmless.
        f.player->ToggleMute();
        f.player->DragVolume(10);
        f.player->Play("/card/a.mp3");
        f.player->Next();
        f.player->Previous();
        f.player->Stop();
        f.player->Resume();
        f.player->UpdateFromEngine();
        QVERIFY(f.log.isEmpty());
    }

    void playListKeepsEachPathOnce() {
        PlayerFixture f;
        QVERIFY(f.player->Load());
        auto& wmp = *f.player->Engine();
        f.player->Play("/card/a.mp3");
        f.player->Play("/card/b.mp3");
        f.player->Play("/card/a.mp3");
        QCOMPARE(wmp.PlayList(), QStringList({"/card/a.mp3", "/card/b.mp3"}));
        QCOMPARE(wmp.CurrentIndex(), 0);
        QCOMPARE(f.log, QStringList({"open /card/a.mp3", "open /card/b.mp3", "open /card/a.mp3"}));
    }

    void nextAndPrevious_data() {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("start");  // entry played last
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("expected");
        QTest::addColumn<bool>("plays");
        QTest::newRow("next from the first") << 3 << 0 << "next" << 1 << true;
        QTest::newRow("next on the last does nothing") << 3 << 2 << "next" << 2 << false;
        QTest::newRow("previous from the last") << 3 << 2 << "previous" << 1 << true;
        QTest::newRow("previous on the first does nothing") << 3 << 0 << "previous" << 0 << false;
        QTest::newRow("previous with one entry does nothing") << 1 << 0 << "previous" << 0 << false;
        QTest::newRow("next with one entry does nothing") << 1 << 0 << "next" << 0 << false;
    }
    void nextAndPrevious() {
        QFETCH(int, entries);
        QFETCH(int, start);
        QFETCH(QString, step);
        QFETCH(int, expected);
        QFETCH(bool, plays);
        PlayerFixture f;
        QVERIFY(f.player->Load());
        auto& wmp = *f.player->Engine();
        for (int i = 0; i < entries; ++i) wmp.Play(QStringLiteral("/s%1.mp3").arg(i));
        wmp.Play(QStringLiteral("/s%1.mp3").arg(start));
        f.log.clear();
        step == "next" ? wmp.Next() : wmp.Previous();
        QCOMPARE(wmp.CurrentIndex(), expected);
        QCOMPARE(f.log, plays ? QStringList{QStringLiteral("open /s%1.mp3").arg(expected)}
                              : QStringList{});
        QCOMPARE(wmp.PlayList().size(), entries);  // stepping never adds entries
    }

    void progressMovesKnobAndBar_data() {
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("knobLeft");
        QTest::addColumn<int>("barWidth");
        QTest::newRow("start") << 0 << 537 << 0;
        QTest::newRow("half") << 50 << 633 << 100;
        QTest::newRow("a third, truncated") << 33 << 600 << 66;
        QTest::newRow("end") << 100 << 730 << 200;
        QTest::newRow("beyond the end stays at the end") << 140 << 730 << 200;
        QTest::newRow("below zero stays at the start") << -3 << 537 << 0;
    }
    void progressMovesKnobAndBar() {
        QFETCH(int, percent);
        QFETCH(int, knobLeft);
        QFETCH(int, barWidth);
        PlayerFixture f;
        QVERIFY(f.player->Load());
        f.player->SetProgress(percent);
        QCOMPARE(f.Child(MainWindowId::PlayerPositionKnob).Rect(), QRect(knobLeft, 46, 7, 15));
        QCOMPARE(f.Child(MainWindowId::PlayerProgressBar).Rect(), QRect(536, 51, barWidth, 5));
    }

    void volumeDrag_data() {
        QTest::addColumn<int>("startVolume");
        QTest::addColumn<double>("distance");
        QTest::addColumn<int>("knobLeft");
        QTest::addColumn<int>("volume");  // -1: the engine's volume is left alone
        QTest::newRow("right within the track") << 50 << 10.0 << 437 << 60;
        QTest::newRow("left within the track") << 50 << -20.0 << 407 << 26;
        QTest::newRow("beyond the right end stops at 472") << 50 << 300.0 << 472 << 100;
        QTest::newRow("beyond the left end stops at 383") << 50 << -300.0 << 383 << 0;
        QTest::newRow("no distance does nothing") << 50 << 0.0 << 427 << -1;
        QTest::newRow("further right at the end does nothing") << 100 << 5.0 << 472 << -1;
        QTest::newRow("further left at the start does nothing") << 0 << -5.0 << 383 << -1;
        QTest::newRow("back from the end") << 100 << -1.0 << 471 << 98;
    }
    void volumeDrag() {
        QFETCH(int, startVolume);
        QFETCH(double, distance);
        QFETCH(int, knobLeft);
        QFETCH(int, volume);
        PlayerFixture f(startVolume);
        QVERIFY(f.player->Load());
        f.script.volume = -1;  // marks "not set since loading"
        f.player->DragVolume(distance);
        QCOMPARE(f.Child(MainWindowId::PlayerVolumeKnob).Left(), knobLeft);
        QCOMPARE(f.Child(MainWindowId::PlayerVolumeKnob).Width(), 17);
        QCOMPARE(f.script.volume, volume);
    }

    void muteToggleShowsTheSoundState() {
        PlayerFixture f;
        QVERIFY(f.player->Load());
        f.player->ToggleMute();
        QVERIFY(f.script.muted);
        QCOMPARE(f.Child(MainWindowId::PlayerSound).State(), 0);
        f.player->ToggleMute();
        QVERIFY(!f.script.muted);
        QCOMPARE(f.Child(MainWindowId::PlayerSound).State(), 1);
    }

    void progressTexts_data() {
        QTest::addColumn<QString>("positionString");
        QTest::addColumn<double>("position");
        QTest::addColumn<double>("duration");
        QTest::addColumn<QString>("timeText");
        QTest::addColumn<int>("knobLeft");
        QTest::newRow("playing") << "01:10" << 70.0 << 200.0 << "01:10 / 03:20"
                                 << 537 + 35 * 193 / 100;
        QTest::newRow("no position yet") << "" << 0.0 << 200.0 << "00:00 / 03:20" << 537;
        QTest::newRow("unknown length") << "00:02" << 2.0 << 0.0 << "00:02 / 03:20" << 537;
    }
    void progressTexts() {
        QFETCH(QString, positionString);
        QFETCH(double, position);
        QFETCH(double, duration);
        QFETCH(QString, timeText);
        QFETCH(int, knobLeft);
        PlayerFixture f;
        QVERIFY(f.player->Load());
        f.script.name = QStringLiteral("반짝반짝 작은별");
        f.script.positionString = positionString;
        f.script.position = position;
        f.script.duration = duration;
        f.script.durationString = QStringLiteral("03:20");
        f.player->UpdateFromEngine();
        QCOMPARE(f.player->Title(), QStringLiteral("반짝반짝 작은별"));
        QCOMPARE(f.player->TimeText(), timeText);
        QCOMPARE(f.Child(MainWindowId::PlayerPositionKnob).Left(), knobLeft);

        f.player->ResetDisplay();
        QCOMPARE(f.player->Title(), QString());
        QCOMPARE(f.player->TimeText(), QStringLiteral("00:00 / 00:00"));
        QCOMPARE(f.Child(MainWindowId::PlayerPositionKnob).Left(), 537);
    }

    void nothingChangesWithoutACurrentItem() {
        PlayerFixture f;
        QVERIFY(f.player->Load());
        f.player->SetTitle("kept");
        f.script.hasItem = false;
        f.player->UpdateFromEngine();
        QCOMPARE(f.player->Title(), QStringLiteral("kept"));
        QCOMPARE(f.player->TimeText(), QStringLiteral("00:00 / 00:00"));
    }

    void playStatesReachTheOwner() {
        PlayerFixture f;
        QVERIFY(f.player->Load());
        f.engine->Announce(MediaPlayState::Playing);
        f.engine->Announce(MediaPlayState::Paused);
        f.engine->Announce(MediaPlayState::Playing);
        f.engine->Announce(MediaPlayState::Stopped);
        QCOMPARE(f.owner.calls, QStringList({"started", "paused", "started", "stopped"}));
    }

    void hitTestFindsTheKnobOverTheBar() {
        PlayerFixture f;
        QVERIFY(f.player->Load());
        f.player->SetProgress(50);
        QCOMPARE(f.player->HitTest(634, 53)->Id(), IdOf(MainWindowId::PlayerPositionKnob));
        QCOMPARE(f.player->HitTest(600, 53)->Id(), IdOf(MainWindowId::PlayerProgressBar));
        QCOMPARE(f.player->HitTest(370, 20)->Id(), IdOf(MainWindowId::PlayerPrevious));
        QCOMPARE(f.player->HitTest(430, 20)->Id(),
                 IdOf(MainWindowId::PlayerNext));  // shared edge: next first
        QCOMPARE(f.player->HitTest(440, 20)->Id(), IdOf(MainWindowId::PlayerStop));
        QCOMPARE(f.player->HitTest(700, 60), f.player.get());  // the panel's empty part
        QVERIFY(f.player->HitTest(760, 20) == nullptr);
        f.player->SetHidden(true);
        QVERIFY(f.player->HitTest(370, 20) == nullptr);
    }

    void minutesSeconds_data() {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0.0 << "00:00";
        QTest::newRow("fraction") << 59.9 << "00:59";
        QTest::newRow("minutes") << 200.0 << "03:20";
        QTest::newRow("past an hour") << 3725.0 << "62:05";
        QTest::newRow("negative") << -4.0 << "00:00";
    }
    void minutesSeconds() {
        QFETCH(double, seconds);
        QFETCH(QString, text);
        QCOMPARE(torvane::MinutesSeconds(seconds), text);
    }
};

QTEST_MAIN(PlayerTest)
#include "player_test.moc"
