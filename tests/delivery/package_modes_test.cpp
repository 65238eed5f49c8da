// The package, DIY and copy modes of the install engine, through the rules that start them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <mutex>
#include <tuple>

#include "common/messages.h"
#include "common/text_codec.h"
#include "delivery/diy_actions.h"
#include "delivery/job_runner.h"
#include "delivery/sound_file.h"
#include "store/device_clock.h"
#include "store/device_files.h"
#include "store/diy_xml.h"
#include "tests/support/device_fixture.h"
#include "update/package_install.h"
#include "update/update_list.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::Snapshot;
using test::WriteFile;

class PackageTest : public test::ServiceFixture {
  protected:
    UpdateFile Package(std::string_view kind) {
        UpdateFileList list;
        const Status fetched = list.FetchUpdateFiles(session);
        EXPECT_TRUE(fetched.ok()) << fetched.message();
        for (const UpdateFile& file : list.Files()) {
            if (file.name.find(kind) != std::string::npos) return file;
        }
        ADD_FAILURE() << "no " << kind << " package";
        return {};
    }
    // Installed as the front end does once a reset was confirmed.
    JobOutcome Install(const UpdateFile& file, PackageKind kind) {
        return InstallConfirmedPackage(file, kind, std::make_shared<torvane::Card>(Card().string()),
                                       runner);
    }

    test::FixedFreeSpace space{test::kPlentyOfSpace};
    NullJobObserver observer;
    ThreadedJobRunner runner{session, observer, space, nullptr, JobTiming::Immediate()};
};

class UpdateKeepsDatabaseTest : public PackageTest,
                                public ::testing::WithParamInterface<const char*> {};

// The card's FAT file system does not tell the two spellings apart; a case-sensitive one must
// keep the database under either.
TEST_P(UpdateKeepsDatabaseTest, UpdatePackageKeepsTheCardsDatabase) {
    ASSERT_TRUE(database.AddContent(Content("M0001")));
    ASSERT_TRUE(database.Save().ok());
    const std::string name = GetParam();
    if (name != "Default.dat") fs::rename(Card() / "Default.dat", Card() / name);
    const std::string before = ReadFile(Card() / name);

    const JobOutcome outcome = Install(Package("update"), PackageKind::Update);

    ASSERT_TRUE(outcome.status.ok()) << outcome.status.message();
    EXPECT_EQ(ReadFile(Card() / name), before);
    int databases = 0;
    for (const auto& entry : fs::directory_iterator(Card())) {
        databases += ToLowerAscii(entry.path().filename().string()) == "default.dat";
    }
    EXPECT_EQ(databases, 1);
    EXPECT_NE(ReadFile(Card() / "info.dat").find("2.1.0"), std::string::npos);
    // Restart and put the card back: said by the front end once the job has ended.
    EXPECT_EQ(outcome.status.said(), Say(MessageId::UpdateDone));
    EXPECT_EQ(outcome.status.message(), kMsgUpdateDone);
    EXPECT_TRUE(sink.said.empty());
}

INSTANTIATE_TEST_SUITE_P(Spellings, UpdateKeepsDatabaseTest,
                         ::testing::Values("Default.dat", "default.dat"));

// A card without a database is never taken for the device: an update puts the package's there,
// and the card then reads as a device's.
TEST_F(PackageTest, AnUpdateOnACardWithoutADatabaseGivesItThePackagesOwn) {
    fs::remove(Card() / "Default.dat");

    const JobOutcome outcome = Install(Package("update"), PackageKind::Update);

    ASSERT_TRUE(outcome.status.ok()) << outcome.status.message();
    CDefaultXML database(Card().string());
    EXPECT_TRUE(database.Load().ok());
    EXPECT_NE(ReadFile(Card() / "info.dat").find("2.1.0"), std::string::npos);
}

// The update tab lists the reset package too. Installed as an update, it must not put its blank
// recording table, DIY database or name voice over the card's: the parent's recordings would be
// on the card with nothing to play them.
TEST_F(PackageTest, AnUpdateNeverReplacesWhatOnlyTheCardHolds) {
    const std::map<std::string, std::string> owned = {
        {"Diy.dat", "the card's DIY database"},
        {"ck9/rec.tbl", "the card's recording table"},
        {"ck9/re1/lullaby.mp3", "a parent's recording"},
        {"ck9/re4/story.wav", "another recording"},
        {"ck1/ko/00000003.qvx", "the child's name"},
    };
    for (const auto& [path, bytes] : owned) WriteFile(Card() / path, bytes);
    struct Statuses final : IJobObserver {
        void OnProgress(const JobProgress& progress) override {
            const std::lock_guard lock(mutex);
            seen.push_back(progress.status);
        }
        std::mutex mutex;
        std::vector<std::string> seen;
    } statuses;
    ThreadedJobRunner watched{session, statuses, space, nullptr, JobTiming::Immediate()};

    const JobOutcome outcome =
        InstallConfirmedPackage(Package("reset"), PackageKind::Update,
                                std::make_shared<torvane::Card>(Card().string()), watched);

    ASSERT_TRUE(outcome.status.ok()) << outcome.status.message();
    for (const auto& [path, bytes] : owned) EXPECT_EQ(ReadFile(Card() / path), bytes) << path;
    EXPECT_NE(ReadFile(Card() / "info.dat").find("2.1.0"), std::string::npos) << "still updated";
    const auto said = std::find_if(statuses.seen.begin(), statuses.seen.end(), [](auto& status) {
        return status.starts_with(kMsgUpdateKeptCardFiles);
    });
    ASSERT_NE(said, statuses.seen.end()) << "the job says what it left as it was";
    EXPECT_NE(said->find("ck9/rec.tbl"), std::string::npos) << *said;
    // While it unpacks, an update says what a reset says: the device is being set up again.
    EXPECT_NE(std::find(statuses.seen.begin(), statuses.seen.end(), kMsgResetting),
              statuses.seen.end());
    EXPECT_EQ(std::find(statuses.seen.begin(), statuses.seen.end(), kMsgCopyingToDevice),
              statuses.seen.end());
}

TEST_F(PackageTest, ResetPackageWipesTheCardAndMakesAFreshOne) {
    WriteFile(Card() / "ck7/stray.qvx", "old sound");
    WriteFile(Card() / "notes/keep.txt", "old folder");
    ASSERT_TRUE(database.AddContent(Content("M0001")));
    ASSERT_TRUE(database.Save().ok());

    const JobOutcome outcome = Install(Package("reset"), PackageKind::Reset);

    ASSERT_TRUE(outcome.status.ok()) << outcome.status.message();
    EXPECT_FALSE(fs::exists(Card() / "ck7/stray.qvx"));
    EXPECT_FALSE(fs::exists(Card() / "notes"));
    const CDefaultXML fresh = Reloaded();
    EXPECT_TRUE(fresh.Contents(Shelf::Music).empty());
    EXPECT_EQ(fresh.systemVersion(), "1.4");
    EXPECT_EQ(outcome.status.said(), Say(MessageId::InsertCard));
    EXPECT_TRUE(outcome.status.notes().empty());
    EXPECT_TRUE(sink.said.empty());
}

// Only a reset needs a Yes first, and its question names the card it wipes (and what it keeps);
// the front end asks it and runs nothing on a No.
TEST_F(PackageTest, OnlyAResetIsConfirmedFirstNamingTheCard) {
    const torvane::Card card(Card().string());
    EXPECT_EQ(PackageConfirmation(PackageKind::Update, card, false), std::nullopt);
    EXPECT_EQ(PackageConfirmation(PackageKind::Reset, card, false), ResetQuestion(Card().string()));
    EXPECT_EQ(PackageConfirmation(PackageKind::Reset, card, true),
              ResetQuestion(Card().string(), true));
}

// What a reset keeps through its wipe, scripted: how keeping and putting back end.
class ScriptedKeeper final : public IWipeKeeper {
  public:
    ScriptedKeeper(Status before, Status after)
        : before_(std::move(before)), after_(std::move(after)) {}
    Status BeforeWipe(const std::string&) override { return before_; }
    Status AfterWipe(const CardAnchor&) override { return after_; }

  private:
    Status before_;
    Status after_;
};

// Each way a reset with a keeper ends, as the front end tells it: what came back first, then where
// the card goes; a keep that failed stops the reset before the wipe; copies left off the card
// are named as the failure.
TEST_F(PackageTest, AResetEndsWithWhatItsKeeperSaysThenWhereTheCardGoes) {
    const Message insertCard = Say(MessageId::InsertCard);
    const Message replaced = Say(MessageId::RecordingReplacedPackageSlot, 92100001, 1, "동요");
    const Message putBack = Say(MessageId::RecordingsPutBack, 2);
    const Message waitIn = Say(MessageId::RecordingsWaitIn, "/kept/card-1");
    const struct {
        const char* what;
        Status before;
        Status after;
        OutcomeKind kind;
        Message said;
        std::vector<Message> notes;
        bool wiped;
    } cases[] = {
        {"put back",
         Status::Ok(),
         Status::Done(putBack).WithNote(replaced),
         OutcomeKind::Done,
         putBack,
         {replaced, insertCard},
         true},
        {"nothing kept", Status::Ok(), Status::Ok(), OutcomeKind::Done, insertCard, {}, true},
        {"not kept",
         Status::Failure(OutcomeKind::Failed, Say(MessageId::RecordingsNotKept)),
         Status::Ok(),
         OutcomeKind::Failed,
         Say(MessageId::RecordingsNotKept),
         {},
         false},
        {"not put back",
         Status::Ok(),
         Status::Failure(OutcomeKind::Failed, waitIn),
         OutcomeKind::Failed,
         waitIn,
         {},
         true},
    };
    const UpdateFile reset = Package("reset");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(Card() / "ck7/stray.qvx", "old sound");
        ScriptedKeeper keeper(c.before, c.after);
        const JobOutcome outcome = InstallConfirmedPackage(
            reset, PackageKind::Reset, std::make_shared<torvane::Card>(Card().string()), runner,
            &keeper);
        EXPECT_EQ(outcome.status.kind(), c.kind) << outcome.status.message();
        EXPECT_EQ(outcome.status.said(), c.said);
        EXPECT_EQ(outcome.status.notes(), c.notes);
        EXPECT_EQ(outcome.cardChanged, c.wiped);
        EXPECT_EQ(fs::exists(Card() / "ck7/stray.qvx"), !c.wiped);
    }
    EXPECT_TRUE(sink.said.empty());
}

struct BadPackage {
    const char* what;
    std::string path;  // below the service's address
    OutcomeKind kind;
    Message said;  // why the job stopped, in the archive's own words
    std::vector<Message> notes;
};

class BadResetPackageTest : public PackageTest, public ::testing::WithParamInterface<BadPackage> {};

TEST_P(BadResetPackageTest, LeavesTheCardAsItWas) {
    WriteFile(Card() / "ck7/stray.qvx", "old sound");
    const auto before = Snapshot(Card());
    UpdateFile file = Package("reset");
    file.fileUrl = service->BaseUrl() + GetParam().path;

    const JobOutcome outcome = Install(file, PackageKind::Reset);

    EXPECT_EQ(outcome.status.kind(), GetParam().kind) << outcome.status.message();
    EXPECT_EQ(outcome.status.said(), GetParam().said);
    EXPECT_EQ(outcome.status.notes(), GetParam().notes);
    EXPECT_FALSE(outcome.cardChanged);
    EXPECT_EQ(Snapshot(Card()), before);
    EXPECT_TRUE(sink.said.empty()) << "nothing is asked: the same file would not open again";
}

INSTANTIATE_TEST_SUITE_P(
    Packages, BadResetPackageTest,
    ::testing::Values(
        BadPackage{
            "Missing", "/torvane/system/missing.zip", OutcomeKind::ServiceFailed, Message{}, {}},
        BadPackage{"NotAnArchive",
                   "/torvane/files/M0001/00000101.mp3?contentNo=M0001&fileNo=1",
                   OutcomeKind::Failed,
                   Say(MessageId::CdirNotFound),
                   {Say(MessageId::OpenFailed)}}),
    [](const auto& info) { return std::string(info.param.what); });

class DiyFilesTest : public test::CardFixture {
  protected:
    void SetUp() override {
        CardFixture::SetUp();
        ASSERT_TRUE(diy.Load().ok());
    }
    std::string Source(const std::string& name) {
        const fs::path path = dir.path() / "recordings" / name;
        WriteFile(path, "ID3 sound of " + name);
        return path.string();
    }
    const DiySlot& Slot(const CDiyXML& from, int position, int slot) {
        return from.records()[static_cast<std::size_t>(position - 1)]
            .slots[static_cast<std::size_t>(slot - 1)];
    }

    ScopedDeviceDate date{"2026-12-10T09-08-07"};
    CDiyXML& diy = card->diy();
    test::FixedFreeSpace space{test::kPlentyOfSpace};
    NullJobObserver observer;
    ServiceSession noSession;  // recordings are copied from the computer, not downloaded
    ThreadedJobRunner runner{noSession, observer, space, nullptr, JobTiming::Immediate()};
};

TEST_F(DiyFilesTest, FillsTheSlotsFromTheChosenOneUpToTheFourth) {
    const std::vector<std::string> files = {Source("first.mp3"), Source("a_long_name.wav"),
                                            Source("third.mp3"), Source("fourth.mp3"),
                                            Source("fifth.mp3")};
    const ActionJobOutcome outcome = AssignDiyFiles(*card, 12, 3, files, runner);

    ASSERT_TRUE(outcome.job.status.ok()) << outcome.job.status.message();
    EXPECT_EQ(ReadFile(Card() / "ck9/re3/first.mp3"), "ID3 sound of first.mp3");
    EXPECT_EQ(ReadFile(Card() / "ck9/re4/92100012.wav"), "ID3 sound of a_long_name.wav");
    EXPECT_TRUE(fs::is_directory(Card() / "ck9/re1"));
    CDiyXML reloaded(Card().string());
    ASSERT_TRUE(reloaded.Load().ok());
    EXPECT_EQ(Slot(reloaded, 12, 3), (DiySlot{"first", "2026-12-10T09-08-07", "first.mp3"}));
    EXPECT_EQ(Slot(reloaded, 12, 4),
              (DiySlot{"a_long_name", "2026-12-10T09-08-07", "92100012.wav"}));
    EXPECT_FALSE(Slot(reloaded, 12, 1).InUse());
    EXPECT_FALSE(Slot(reloaded, 13, 1).InUse());
    EXPECT_EQ(outcome.status.kind(), OutcomeKind::Done);
    EXPECT_EQ(outcome.status.said(), Say(MessageId::DownloadDone));
}

struct DeviceName {
    const char* what;
    const char* source;
    const char* device;
    const char* display;
};

class DiyDeviceNameTest : public DiyFilesTest, public ::testing::WithParamInterface<DeviceName> {};

TEST_P(DiyDeviceNameTest, NamesTheRecordingAsTheDeviceCanShowIt) {
    ASSERT_TRUE(AssignDiyFiles(*card, 1, 1, {Source(GetParam().source)}, runner).Completed());
    EXPECT_EQ(Slot(diy, 1, 1).file, GetParam().device);
    EXPECT_EQ(Slot(diy, 1, 1).name, GetParam().display);
    EXPECT_TRUE(fs::exists(Card() / "ck9/re1" / GetParam().device));
}

INSTANTIATE_TEST_SUITE_P(
    Names, DiyDeviceNameTest,
    ::testing::Values(DeviceName{"EightCharacters", "eightchr.mp3", "eightchr.mp3", "eightchr"},
                      DeviceName{"NineCharacters", "ninechars.mp3", "92100001.mp3", "ninechars"},
                      DeviceName{"NoExtension", "memo", "memo", "memo"},
                      DeviceName{"HangulOfEightBytes", "노래하자.wav", "노래하자.wav", "노래하자"},
                      DeviceName{"HangulOfTenBytes", "노래하는곰.wav", "92100001.wav",
                                 "노래하는곰"},
                      DeviceName{"TwoDots", "song.v2.mp3", "song.v2.mp3", "song.v2"},
                      // rec.tbl's separators and bytes that are not UTF-8 never reach the
                      // card's name: the file would be copied under one name, listed under another.
                      DeviceName{"Bar", "a|b.mp3", "92100001.mp3", "a|b"},
                      DeviceName{"Caret", "a^b.mp3", "92100001.mp3", "a^b"},
                      DeviceName{"LineBreak", "a\r\nb.mp3", "92100001.mp3", "a\r\nb"},
                      DeviceName{"Blank", " a.mp3", "92100001.mp3", " a"},
                      DeviceName{"NotUtf8", "\xB0\xA1.mp3", "92100001.mp3", "\xB0\xA1"},
                      DeviceName{"BadExtension", "memo.m|p3", "memo", "memo"}),
    [](const auto& info) { return std::string(info.param.what); });

struct Head {
    const char* what;
    std::string bytes;
    SoundFileVerdict verdict;
};

class SoundHeadTest : public ::testing::TestWithParam<Head> {};

TEST_P(SoundHeadTest, JudgesByTheFirstBytes) {
    EXPECT_EQ(JudgeSoundHead(GetParam().bytes), GetParam().verdict);
}

INSTANTIATE_TEST_SUITE_P(
    Heads, SoundHeadTest,
    ::testing::Values(
        Head{"Id3Tag", "ID3\x04\x00", SoundFileVerdict::Sound},
        Head{"Mpeg1Layer3Frame", "\xFF\xFB\x90\x64", SoundFileVerdict::Sound},
        Head{"Mpeg2Layer3Frame", "\xFF\xF3\x48\xC4", SoundFileVerdict::Sound},
        Head{"Wave", std::string("RIFF\x24\x1F\x00\x00WAVEfmt ", 16), SoundFileVerdict::Sound},
        Head{"RiffThatIsNoWave", std::string("RIFF\x24\x1F\x00\x00AVI LIST", 16),
             SoundFileVerdict::NotSound},
        Head{"Hostname", "my-laptop\n", SoundFileVerdict::NotSound},
        Head{"SyncWithReservedBitRate", "\xFF\xFB\xF0\x64", SoundFileVerdict::NotSound},
        Head{"SyncWithReservedLayer", "\xFF\xF9\x90\x64", SoundFileVerdict::NotSound},
        Head{"ShortOfAFrame", "\xFF\xFB", SoundFileVerdict::NotSound},
        Head{"Empty", "", SoundFileVerdict::Empty}),
    [](const auto& info) { return std::string(info.param.what); });

// "/etc/hostname" chosen as a recording: nothing is copied, not even the good file chosen with
// it, and the parent reads which file and why.
TEST_F(DiyFilesTest, AFileThatIsNoSoundIsRefusedBeforeAnythingIsCopied) {
    const fs::path text = dir.path() / "recordings" / "hostname.mp3";
    WriteFile(text, "my-laptop\n");
    const fs::path empty = dir.path() / "recordings" / "empty.wav";
    WriteFile(empty, "");
    const auto before = Snapshot(Card());
    for (const auto& [file, why, sentence] :
         {std::tuple{text.string(), MessageId::NotASoundFile, NotASoundFile(text.string(), false)},
          std::tuple{empty.string(), MessageId::SoundFileEmpty,
                     NotASoundFile(empty.string(), true)}}) {
        sink.Clear();
        const ActionJobOutcome outcome =
            AssignDiyFiles(*card, 1, 1, {Source("good.mp3"), file}, runner);

        EXPECT_FALSE(outcome.Completed());
        EXPECT_EQ(Snapshot(Card()), before);
        EXPECT_FALSE(Slot(diy, 1, 1).InUse());
        EXPECT_EQ(outcome.status.kind(), OutcomeKind::Refused);
        EXPECT_EQ(outcome.status.said(), Say(why, file));
        EXPECT_EQ(outcome.status.message(), sentence);
        EXPECT_NE(sentence.find(file), std::string::npos);
        EXPECT_TRUE(sink.shown.empty());
    }
    // A file past the last slot is never copied, and so never judged.
    sink.Clear();
    EXPECT_TRUE(
        AssignDiyFiles(*card, 1, 4, {Source("last.mp3"), text.string()}, runner).Completed());
    EXPECT_EQ(Slot(diy, 1, 4).file, "last.mp3");
}

// A card that takes no write: deleting a slot says so instead of "deleted", and the database in
// memory still lists the slot as the card's Diy.dat does, so that the next save does not drop it.
TEST_F(DiyFilesTest, DeletingASlotOnACardThatTakesNoWriteSaysSoAndKeepsTheSlot) {
    ASSERT_TRUE(AssignDiyFiles(*card, 1, 1, {Source("song.mp3")}, runner).Completed());
    sink.Clear();
    CardFaults::FailAfter(0);
    const Status deleted = DeleteDiySlot(diy, 1, 1);
    CardFaults::Clear();
    EXPECT_EQ(deleted.kind(), OutcomeKind::CardFull);
    EXPECT_EQ(deleted.said(), Say(MessageId::CardNotWritten));

    CDiyXML onCard(Card().string());
    ASSERT_TRUE(onCard.Load().ok());
    EXPECT_EQ(Slot(diy, 1, 1).file, Slot(onCard, 1, 1).file);
    EXPECT_TRUE(Slot(diy, 1, 1).InUse());
}

// A recording that could not be copied (gone since it was chosen) leaves the job completed with
// the others in their slots: the parent is told it failed, never "done".
TEST_F(DiyFilesTest, ARecordingThatWasNotCopiedIsNeverReportedAsDone) {
    const std::string gone = (dir.path() / "recordings" / "gone.mp3").string();
    const ActionJobOutcome outcome =
        AssignDiyFiles(*card, 3, 1, {Source("kept.mp3"), gone}, runner);

    ASSERT_TRUE(outcome.Completed());
    EXPECT_EQ(outcome.job.status.kind(), OutcomeKind::CardFull);
    EXPECT_EQ(outcome.job.status.id(), MessageId::None) << "no sentence of its own: it went on";
    EXPECT_EQ(Slot(diy, 3, 1).file, "kept.mp3");
    EXPECT_FALSE(Slot(diy, 3, 2).InUse());
    EXPECT_FALSE(outcome.status.ok());
    EXPECT_EQ(outcome.status.said(), Say(MessageId::JobFailed));
}

// A slot that could not be saved to the computer (a file stands where the folder belongs) ends
// as a failed job, never as "done".
TEST_F(DiyFilesTest, ASlotNotSavedToTheComputerIsToldAsAFailure) {
    ASSERT_TRUE(AssignDiyFiles(*card, 1, 1, {Source("song.mp3")}, runner).Completed());
    WriteFile(dir.path() / "saved", "a file where the folder belongs");
    const ActionJobOutcome outcome =
        ExportDiySlot(diy, 1, 1, (dir.path() / "saved" / "copy").string(), runner);
    EXPECT_EQ(outcome.job.status.kind(), OutcomeKind::Failed);
    EXPECT_EQ(outcome.status.said(), Say(MessageId::JobFailed));
    EXPECT_FALSE(fs::exists(dir.path() / "saved" / "copy.mp3"));
}

TEST_F(DiyFilesTest, SameNameOnAnotherCardDoesNotReplaceItsRecording) {
    ASSERT_TRUE(AssignDiyFiles(*card, 1, 1, {Source("song.mp3")}, runner).Completed());
    const fs::path second = dir.path() / "other" / "song.mp3";
    WriteFile(second, "ID3 another song");
    ASSERT_TRUE(AssignDiyFiles(*card, 2, 1, {second.string()}, runner).Completed());

    EXPECT_EQ(ReadFile(Card() / "ck9/re1/song.mp3"), "ID3 sound of song.mp3");
    EXPECT_EQ(Slot(diy, 2, 1).file, "92100002.mp3");
    EXPECT_EQ(ReadFile(Card() / "ck9/re1/92100002.mp3"), "ID3 another song");
}

TEST_F(DiyFilesTest, SlotActionsExportDeleteAndRename) {
    ASSERT_TRUE(AssignDiyFiles(*card, 51, 2, {Source("hello.mp3")}, runner).Completed());
    EXPECT_EQ(DiySlotPath(diy, 51, 2), (Card() / "ck9/re2/hello.mp3").string());
    EXPECT_EQ(DiySlotPath(diy, 51, 1), "");

    // Saved to a folder that does not exist yet, with the extension added.
    const fs::path chosen = dir.path() / "saved" / "deeper" / "copy";
    ASSERT_TRUE(ExportDiySlot(diy, 51, 2, chosen.string(), runner).Completed());
    EXPECT_EQ(ReadFile(chosen.string() + ".mp3"), "ID3 sound of hello.mp3");

    EXPECT_TRUE(RenameDiySlot(diy, 51, 2, "인사"));
    EXPECT_FALSE(RenameDiySlot(diy, 51, 3, "empty slot"));
    CDiyXML reloaded(Card().string());
    ASSERT_TRUE(reloaded.Load().ok());
    EXPECT_EQ(Slot(reloaded, 51, 2).name, "인사");

    sink.shown.clear();
    EXPECT_EQ(DeleteDiySlot(diy, 51, 2).said(), Say(MessageId::Deleted));
    EXPECT_FALSE(fs::exists(Card() / "ck9/re2/hello.mp3"));
    EXPECT_TRUE(fs::is_directory(Card() / "ck9/re2"));
    ASSERT_TRUE(reloaded.Load().ok());
    EXPECT_FALSE(Slot(reloaded, 51, 2).InUse());
}

TEST(DiyRules, ExportDestinationAndCardNumbers) {
    struct Case {
        const char* slotFile;
        const char* chosen;
        const char* expected;
    };
    for (const Case& c :
         {Case{"a.mp3", "/x/out", "/x/out.mp3"}, Case{"a.wav", "/x/out", "/x/out.wav"},
          Case{"A.MP3", "/x/out", "/x/out.mp3"}, Case{"a.mp3", "/x/out.mp3", "/x/out.mp3"},
          Case{"a.mp3", "/x/out.wav", "/x/out.wav.mp3"}}) {
        EXPECT_EQ(DiyExportDestination(c.slotFile, c.chosen), c.expected) << c.slotFile << c.chosen;
    }
    EXPECT_EQ(DiyCardPosition(1), 1);
    EXPECT_EQ(DiyCardPosition(1500), 1500);
    EXPECT_EQ(DiyCardPosition(92100001), 1);
    EXPECT_EQ(DiyCardPosition(92101500), 1500);
    for (long bad : {0L, 1501L, 92100000L, 92101501L, -3L}) EXPECT_FALSE(DiyCardPosition(bad));
}

}  // namespace
}  // namespace torvane
