// A reset that keeps the parent's recordings and the child's name voice.
#include "update/kept_recordings.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "common/messages.h"
#include "delivery/job_runner.h"
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

struct Kept {
    long card;
    int slot;  // 0 to 3
    DiySlot fields;
    std::string bytes;
};

// Three recordings in two slot folders, one with a name that needs escaping.
const std::vector<Kept> kRecordings = {
    {92100001, 0, {"아빠 목소리", "2026-12-01T09-00-00", "dad.mp3"}, "dad's voice"},
    {92100001, 1, {"엄마 & 노래", "2026-12-02T10-30-00", "엄마.wav"}, "mum's song"},
    {92100005, 0, {"할머니", "2026-12-03T11-45-10", "granny.mp3"}, "granny's story"},
};

class KeptRecordingsTest : public test::ServiceFixture {
  protected:
    void SetUp() override {
        ServiceFixture::SetUp();
        CDiyXML diy(Card().string());
        ASSERT_TRUE(diy.Load().ok());
        for (const Kept& kept : kRecordings) {
            diy.RecordForCard(kept.card)->slots[static_cast<std::size_t>(kept.slot)] = kept.fields;
            WriteFile(Card() / ("ck9/re" + std::to_string(kept.slot + 1)) / kept.fields.file,
                      kept.bytes);
        }
        ASSERT_TRUE(diy.SaveDiyFile().ok() && diy.SaveRecTable().ok());
        for (const char* language : {"en", "ko", "ja", "ch"})
            WriteFile(Card() / "ck1" / language / "00000003.qvx", "민수야");
        database.setSelectedChildNo(7);
        ASSERT_TRUE(database.Save().ok());
        WriteFile(Card() / "ck7/stray.qvx", "a sound the reset wipes");
    }
    UpdateFile ResetPackage() {
        UpdateFileList list;
        EXPECT_TRUE(list.FetchUpdateFiles(session).ok());
        for (const UpdateFile& file : list.Files())
            if (file.name.find("reset") != std::string::npos) return file;
        ADD_FAILURE() << "no reset package";
        return {};
    }
    // A reset the parent confirmed.
    JobOutcome Reset(const UpdateFile& package, const fs::path& card, bool keep) {
        KeptRecordings kept(KeptFolder());
        return InstallConfirmedPackage(package, PackageKind::Reset,
                                       std::make_shared<torvane::Card>(card.string()), runner,
                                       keep ? &kept : nullptr);
    }

    std::string KeptFolder() const { return (dir.path() / "data/torvane/kept").string(); }
    // The card as the parent had it: every recording in its slot, the name voice, the child.
    void ExpectEverythingBack(const std::string& when) {
        CDiyXML diy(Card().string());
        ASSERT_TRUE(diy.Load().ok()) << when;
        for (const Kept& kept : kRecordings) {
            EXPECT_EQ(diy.RecordForCard(kept.card)->slots[static_cast<std::size_t>(kept.slot)],
                      kept.fields)
                << when;
            EXPECT_EQ(
                ReadFile(Card() / ("ck9/re" + std::to_string(kept.slot + 1)) / kept.fields.file),
                kept.bytes)
                << when;
        }
        for (const char* language : {"en", "ko", "ja", "ch"})
            EXPECT_EQ(ReadFile(Card() / "ck1" / language / "00000003.qvx"), "민수야") << when;
        EXPECT_EQ(Reloaded().selectedChildNo(), 7) << when;
    }

    test::FixedFreeSpace space{test::kPlentyOfSpace};
    NullJobObserver observer;
    ThreadedJobRunner runner{session, observer, space, nullptr, JobTiming::Immediate()};
};

TEST_F(KeptRecordingsTest, AResetKeepsTheRecordingsAsAssigningThemAgainWouldWriteThem) {
    const JobOutcome outcome = Reset(ResetPackage(), Card(), true);
    ASSERT_TRUE(outcome.status.ok()) << outcome.status.message();
    EXPECT_FALSE(fs::exists(Card() / "ck7/stray.qvx")) << "the reset still wipes the card";
    // What came back is said before the last word, which tells the parent to use the card.
    EXPECT_EQ(outcome.status.said(), Say(MessageId::RecordingsAndNameVoicePutBack, 3));
    EXPECT_EQ(outcome.status.message(), RecordingsPutBack(3, true));
    EXPECT_EQ(outcome.status.notes(), std::vector<Message>{Say(MessageId::InsertCard)});
    EXPECT_TRUE(sink.said.empty());

    // The same package on another card, the recordings then assigned through the DIY database.
    const fs::path other = dir.path() / "other";
    fs::create_directories(other);
    ASSERT_TRUE(Reset(ResetPackage(), other, false).Completed());
    CDiyXML assigned(other.string());
    ASSERT_TRUE(assigned.Load().ok());
    for (const Kept& kept : kRecordings)
        assigned.RecordForCard(kept.card)->slots[static_cast<std::size_t>(kept.slot)] = kept.fields;
    ASSERT_TRUE(assigned.SaveDiyFile().ok() && assigned.SaveRecTable().ok());

    EXPECT_EQ(ReadFile(Card() / "Diy.dat"), ReadFile(other / "Diy.dat"));
    EXPECT_EQ(ReadFile(Card() / "ck9/rec.tbl"), ReadFile(other / "ck9/rec.tbl"));
    for (const Kept& kept : kRecordings) {
        EXPECT_EQ(ReadFile(Card() / ("ck9/re" + std::to_string(kept.slot + 1)) / kept.fields.file),
                  kept.bytes);
    }
    for (const char* language : {"en", "ko", "ja", "ch"})
        EXPECT_EQ(ReadFile(Card() / "ck1" / language / "00000003.qvx"), "민수야") << language;
    EXPECT_EQ(Reloaded().selectedChildNo(), 7);
    EXPECT_EQ(Reloaded().systemVersion(), "1.4")
        << "the package's database, the child chosen again";
}

TEST_F(KeptRecordingsTest, AResetWhosePackageFailsChangesNothing) {
    const auto before = Snapshot(Card());
    UpdateFile missing = ResetPackage();
    missing.fileUrl = service->BaseUrl() + "/torvane/system/missing.zip";
    EXPECT_EQ(Reset(missing, Card(), true).status.kind(), OutcomeKind::ServiceFailed);
    UpdateFile notAnArchive = ResetPackage();
    notAnArchive.fileUrl =
        service->BaseUrl() + "/torvane/files/M0001/00000101.mp3?contentNo=M0001&fileNo=1";
    EXPECT_EQ(Reset(notAnArchive, Card(), true).status.id(), MessageId::CdirNotFound);
    EXPECT_EQ(Snapshot(Card()), before);
}

TEST_F(KeptRecordingsTest, RecordingsThatCannotBeKeptStopTheResetBeforeTheWipe) {
    WriteFile(Card() / "Diy.dat", "not the DIY database");  // their names and dates are lost
    const auto before = Snapshot(Card());
    const JobOutcome outcome = Reset(ResetPackage(), Card(), true);
    EXPECT_FALSE(outcome.Completed());
    EXPECT_EQ(outcome.status.said(), Say(MessageId::RecordingsNotKept));
    EXPECT_EQ(outcome.status.message(), kMsgRecordingsNotKept);
    EXPECT_FALSE(outcome.cardChanged);
    EXPECT_EQ(Snapshot(Card()), before);
}

TEST_F(KeptRecordingsTest, AKeptRecordingTakesASlotThePackageAlreadyUsesAndSaysSo) {
    KeptRecordings kept(KeptFolder());
    ASSERT_TRUE(kept.Keep(Card().string()).ok());
    // The package's DIY database uses slot 1 of the first card and slot 3 of another.
    fs::remove_all(Card() / "ck9/re1");
    fs::remove_all(Card() / "ck9/re2");
    CDiyXML package(Card().string());
    ASSERT_TRUE(package.Load().ok());
    package.RecordForCard(92100001)->slots[0] = {"동요", "2026-01-01T00-00-00", "song.mp3"};
    package.RecordForCard(92100009)->slots[2] = {"인사", "2026-01-01T00-00-00", "hello.mp3"};
    ASSERT_TRUE(package.SaveDiyFile().ok() && package.SaveRecTable().ok());

    std::vector<Message> notes;
    ASSERT_TRUE(kept.PutBack(CardAnchor(Card().string()), notes).ok());

    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].id, MessageId::RecordingReplacedPackageSlot);
    EXPECT_EQ(MessageText(notes[0]), RecordingReplacedPackageSlot(92100001, 1, "동요"));
    CDiyXML after(Card().string());
    ASSERT_TRUE(after.Load().ok());
    EXPECT_EQ(after.RecordForCard(92100001)->slots[0], kRecordings[0].fields);
    EXPECT_EQ(after.RecordForCard(92100009)->slots[2].name, "인사") << "the package's other slot";
    EXPECT_EQ(ReadFile(Card() / "ck9/re1/dad.mp3"), "dad's voice");
}

// Runs `work` in a child process, which must end it with _exit: no destructor runs, as when the
// program is killed.
void InAKilledProcess(const std::function<void()>& work) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        work();
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
}

// Between the wipe and the end of the put-back the copies in the data folder are the only ones:
// they stay, the failure names their folder, and a later put-back brings everything back.
TEST_F(KeptRecordingsTest, AResetCutOffAfterItsWipeKeepsTheCopiesForALaterPutBack) {
    const UpdateFile package = ResetPackage();
    const fs::path before = dir.path() / "card-before";
    fs::copy(Card(), before, fs::copy_options::recursive);
    struct Cut {
        const char* what;
        std::optional<std::uint64_t> cardTakes;  // bytes before the card fails at the put-back
    };
    for (const Cut& cut :
         {Cut{"killed at the wipe", std::nullopt}, Cut{"a full card at the put-back", 0},
          Cut{"pulled during the put-back", 20}}) {
        fs::remove_all(Card());
        fs::copy(before, Card(), fs::copy_options::recursive);
        if (!cut.cardTakes) {
            InAKilledProcess([&] {
                KeptRecordings kept(KeptFolder());
                if (kept.Keep(Card().string()).ok()) kept.WipeStarting();
                ::_exit(0);
            });
            ASSERT_TRUE(Reset(package, Card(), false).Completed()) << cut.what;
        } else {
            KeptRecordings kept(KeptFolder());
            ASSERT_TRUE(kept.Keep(Card().string()).ok()) << cut.what;
            ASSERT_TRUE(Reset(package, Card(), false).Completed()) << cut.what;
            CardFaults::FailAfter(*cut.cardTakes);
            const Status put = kept.AfterWipe(CardAnchor(Card().string()));
            CardFaults::Clear();
            EXPECT_FALSE(put.ok()) << cut.what;
            EXPECT_EQ(put.said(), Say(MessageId::RecordingsWaitIn, kept.folder())) << cut.what;
            EXPECT_EQ(put.message(), RecordingsWaitIn(kept.folder())) << cut.what;
        }
        const std::vector<WaitingPutBack> waiting = WaitingPutBacks(KeptFolder());
        ASSERT_EQ(waiting.size(), 1u) << cut.what;
        EXPECT_EQ(waiting[0].card, Card().string()) << cut.what;
        EXPECT_EQ(waiting[0].recordings, kRecordings.size()) << cut.what;
        EXPECT_TRUE(waiting[0].nameVoice) << cut.what;

        const std::unique_ptr<KeptRecordings> resumed = KeptRecordings::Resume(waiting[0].folder);
        ASSERT_NE(resumed, nullptr) << cut.what;
        EXPECT_EQ(KeptRecordings::Resume(waiting[0].folder), nullptr) << "held by one at a time";
        const Status put = resumed->AfterWipe(CardAnchor(Card().string()));
        ASSERT_TRUE(put.ok()) << cut.what;
        EXPECT_EQ(put.said(), Say(MessageId::RecordingsAndNameVoicePutBack, kRecordings.size()));
        ExpectEverythingBack(cut.what);
        EXPECT_FALSE(fs::exists(waiting[0].folder)) << cut.what << ": removed once back whole";
        EXPECT_TRUE(WaitingPutBacks(KeptFolder()).empty()) << cut.what;
    }
}

// Before the wipe nothing on the card was lost: the copies of a keep that never reached it go,
// at once in a run that lives on, or at the next run for one that was killed; a keep another
// program holds is left alone.
TEST_F(KeptRecordingsTest, CopiesOfAResetThatNeverWipedAreNotLeftBehind) {
    {
        KeptRecordings kept(KeptFolder());
        ASSERT_TRUE(kept.Keep(Card().string()).ok());
        ASSERT_TRUE(fs::exists(kept.folder()));
        EXPECT_TRUE(WaitingPutBacks(KeptFolder()).empty()) << "still held";
        EXPECT_TRUE(fs::exists(kept.folder())) << "another program's keep is left alone";
    }
    EXPECT_TRUE(fs::is_empty(KeptFolder())) << "the job ended before the wipe";

    InAKilledProcess([&] {
        KeptRecordings kept(KeptFolder());
        CardFaults::FailAfter(5);  // killed while it copied
        (void)kept.Keep(Card().string());
        ::_exit(0);
    });
    EXPECT_FALSE(fs::is_empty(KeptFolder()));
    EXPECT_TRUE(WaitingPutBacks(KeptFolder()).empty());
    EXPECT_TRUE(fs::is_empty(KeptFolder())) << "the killed keep's copies were cleared";
}

}  // namespace
}  // namespace torvane
