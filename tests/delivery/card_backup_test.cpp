// Backing a card up and restoring it: byte for byte round trips, and archives that must change
// nothing (damaged, foreign, of another sound type, naming places outside the card).
#include "delivery/card_backup.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zip.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <set>

#include "base/outcome_telling.h"
#include "common/messages.h"
#include "delivery/job_runner.h"
#include "store/card.h"
#include "store/device_files.h"
#include "store/device_setup.h"
#include "store/diy_xml.h"
#include "tests/support/device_fixture.h"
#include "tests/support/files.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::Snapshot;
using test::WriteFile;

// Replaces or adds entries of an archive; `link` entries are marked as symbolic links.
void EditArchive(const fs::path& archive, const std::map<std::string, std::string>& entries,
                 const std::set<std::string>& links = {}) {
    int error = 0;
    zip_t* zip = zip_open(archive.c_str(), ZIP_CREATE, &error);
    ASSERT_NE(zip, nullptr);
    std::vector<std::string> keep;  // the buffers live until the close
    keep.reserve(entries.size());
    for (const auto& [name, bytes] : entries) {
        keep.push_back(bytes);
        zip_source_t* source = zip_source_buffer(zip, keep.back().data(), keep.back().size(), 0);
        const zip_int64_t index = zip_file_add(zip, name.c_str(), source, ZIP_FL_OVERWRITE);
        ASSERT_GE(index, 0) << name;
        if (links.contains(name)) {
            zip_file_set_external_attributes(zip, static_cast<zip_uint64_t>(index), 0,
                                             ZIP_OPSYS_UNIX, (S_IFLNK | 0777u) << 16);
        }
    }
    ASSERT_EQ(zip_close(zip), 0);
}

std::string ManifestOf(const fs::path& archive) {
    int error = 0;
    zip_t* zip = zip_open(archive.c_str(), ZIP_RDONLY, &error);
    EXPECT_NE(zip, nullptr);
    if (zip == nullptr) return {};
    zip_stat_t stat;
    zip_stat(zip, "manifest.json", 0, &stat);
    std::string text(stat.size, '\0');
    zip_file_t* file = zip_fopen(zip, "manifest.json", 0);
    zip_fread(file, text.data(), text.size());
    zip_fclose(file);
    zip_discard(zip);
    return text;
}

class CardBackupTest : public test::CardFixture {
  protected:
    void SetUp() override {
        CardFixture::SetUp();
        CDiyXML diy(Card().string());
        ASSERT_TRUE(diy.Load().ok());
        diy.RecordForCard(92100001)->slots[0] = {"아빠 목소리", "2026-12-10T09-00-00", "dad.mp3"};
        diy.RecordForCard(92100002)->slots[3] = {"엄마 & 노래", "2026-12-10T09-05-00", "엄마.wav"};
        ASSERT_TRUE(diy.SaveDiyFile().ok() && diy.SaveRecTable().ok());
        WriteFile(Card() / "ck9/re1/dad.mp3", std::string(300000, 'd'));
        WriteFile(Card() / "ck9/re4/엄마.wav", "mum's song");
        for (const char* language : {"en", "ko", "ja", "ch"})
            WriteFile(Card() / "ck1" / language / "00000003.qvx", "name voice");
        WriteFile(Card() / "info.dat", "FW 2.1");
        WriteFile(Card() / "ck2/rfid.tbl", "10000001^^00000001.qvx^^/ck2\r\n");
        WriteFile(Card() / "ck2/00000001.qvx", "a bought sound");  // can be downloaded again
        archive = dir.path() / "out" / "card.tvbackup";
        fs::create_directories(archive.parent_path());
    }

    Result<BackupManifest> Backup(bool everything = false,
                                  const std::atomic<bool>* cancel = nullptr) {
        torvane::Card card(Card().string());
        return BackupCard(card, archive.string(), everything, cancel);
    }
    // Plans the restore, asks as a front end does (recorded in `asked`), then restores.
    Result<BackupManifest> Restore(bool force = false, bool answer = true,
                                   const IFreeSpace* space = nullptr) {
        torvane::Card card(Card().string());
        asked.clear();
        const Result<RestorePlan> plan = PlanRestore(card, archive.string(), {force, space});
        if (!plan.ok()) return plan.status();
        asked.emplace_back(MessageKind::Exclamation, MessageText(plan.value().Question()));
        if (!answer) return Status::Failure(OutcomeKind::Cancelled, Message{});
        return RestoreCard(card, plan.value());
    }
    // The card as a parent would break it: recordings gone, the DIY database and a table changed.
    void BreakCard() {
        fs::remove(Card() / "ck9/re1/dad.mp3");
        WriteFile(Card() / "ck9/rec.tbl", "garbage");
        fs::remove(Card() / "Diy.dat");
        fs::remove_all(Card() / "ck1/ja");
    }

    fs::path archive;
    std::vector<std::pair<MessageKind, std::string>> asked;
};

TEST_F(CardBackupTest, ARestoreBringsBackEveryByteThatCannotBeDownloadedAgain) {
    const auto before = Snapshot(Card());
    const auto backup = Backup();
    ASSERT_TRUE(backup.ok()) << backup.message();
    std::set<std::string> paths;
    for (const BackupFile& file : backup.value().files) paths.insert(file.path);
    for (const char* kept :
         {"Default.dat", "Diy.dat", "ck1/ch/00000003.qvx", "ck1/en/00000003.qvx",
          "ck1/ja/00000003.qvx", "ck1/ko/00000003.qvx", "ck2/rfid.tbl", "ck2/sw.tbl",
          "ck6/rfid.tbl", "ck9/re1/dad.mp3", "ck9/re4/엄마.wav", "ck9/rec.tbl", "info.dat"}) {
        EXPECT_TRUE(paths.contains(kept)) << kept;
    }
    EXPECT_FALSE(paths.contains("ck2/00000001.qvx")) << "bought sounds can be downloaded again";
    const nlohmann::json manifest = nlohmann::json::parse(ManifestOf(archive));
    EXPECT_EQ(manifest["format"], "torvane-card-backup");
    EXPECT_EQ(manifest["soundType"], "larkspin");
    EXPECT_EQ(manifest["systemVersion"], "1.0");
    for (const auto& file : manifest["files"]) {
        if (file["path"] != "ck9/re1/dad.mp3") continue;
        EXPECT_EQ(file["size"], 300000);
        EXPECT_EQ(file["sha256"],
                  "4a7144597bda4cc67bfc529c81dd3e0f2c66eb2d369971c07ddfb3f802f2a3c9");
    }

    BreakCard();
    const auto restored = Restore();
    ASSERT_TRUE(restored.ok()) << restored.message();
    EXPECT_EQ(Snapshot(Card()), before);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_NE(asked[0].second.find("ck9/rec.tbl"), std::string::npos) << "says what it replaces";
}

TEST_F(CardBackupTest, WithAllEveryFileComesBackOntoAnEmptiedCard) {
    const auto before = Snapshot(Card());
    ASSERT_TRUE(Backup(true).ok());
    fs::remove_all(Card());
    fs::create_directories(Card());
    ASSERT_TRUE(Restore().ok());
    EXPECT_EQ(Snapshot(Card()), before);
}

TEST_F(CardBackupTest, ACutOffBackupLeavesTheEarlierOneAsItWas) {
    ASSERT_TRUE(Backup().ok());
    const std::string earlier = ReadFile(archive);
    WriteFile(Card() / "ck9/re2/new.mp3", "a new recording");
    const std::atomic<bool> cancel{true};
    EXPECT_FALSE(Backup(false, &cancel).ok());
    EXPECT_EQ(ReadFile(archive), earlier);
    EXPECT_EQ(Snapshot(archive.parent_path()).size(), 1u) << "no temporary file left beside it";
}

// libzip reads every file again as it writes the archive: a recording the parent replaces in the
// meantime would make an archive whose restore is refused as damaged.
TEST_F(CardBackupTest, AFileThatChangesDuringTheBackupFailsItAndKeepsTheEarlierArchive) {
    ASSERT_TRUE(Backup().ok());
    const std::string earlier = ReadFile(archive);
    const fs::path recording = Card() / "ck9/re1/dad.mp3";
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"rewritten in place", [&] { WriteFile(recording, std::string(300000, 'e')); }},
        {"grown", [&] { WriteFile(recording, std::string(300001, 'd')); }},
        {"removed", [&] { fs::remove(recording); }},
    };
    for (const auto& [what, change] : changes) {
        WriteFile(recording, std::string(300000, 'd'));
        bool changed = false;
        // Told once every file is hashed (half of the two passes), before the archive is written.
        const CareProgress changeOnce = [&, &change = change](std::uint64_t done,
                                                              std::uint64_t total) {
            if (!changed && done * 2 >= total) change();
            changed = changed || done * 2 >= total;
        };
        torvane::Card card(Card().string());
        const auto backup = BackupCard(card, archive.string(), false, nullptr, changeOnce);
        EXPECT_TRUE(changed) << what;
        EXPECT_EQ(backup.message(), kMsgBackupCardChanged) << what;
        EXPECT_EQ(ReadFile(archive), earlier) << what;
        EXPECT_EQ(Snapshot(archive.parent_path()).size(), 1u) << what << ": temporary left";
    }
}

// A run killed part-way leaves hidden temporaries; the next backup or restore of the same files
// clears them, and leaves alone what is not its own or may still be written.
TEST_F(CardBackupTest, TheNextRunClearsTheLeftoversOfAKilledOne) {
    const fs::path out = archive.parent_path();
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(2);
    struct Leftover {
        fs::path path;
        bool cleared;
        bool old = true;
    };
    const std::vector<Leftover> leftovers = {
        {out / ".card.tvbackup.Ab12Cd", true},
        {out / ".card.tvbackup.Ab12Cd.xY34zW", true},
        {out / ".card.tvbackup.Fr35h1", false, false},  // another backup, still running
        {out / ".card.tvbackup.notes", false},
        {out / ".other.tvbackup.Ab12Cd", false},
        {Card() / "ck9/re1/.~dad.mp3.Qw12Er", true},
        {Card() / "ck9/.~rec.tbl.Zx98Cv", true},
        {Card() / "ck9/re2/.~someone.mp3.Qw12Er", false},  // not a file the restore writes
        // Its recording is gone from the card: the temporary may be all that is left of a newer
        // one.
        {Card() / "ck9/re4/.~엄마.wav.Qw12Er", false},
    };
    ASSERT_TRUE(Backup().ok());
    for (const Leftover& leftover : leftovers) {
        WriteFile(leftover.path, "half");
        if (leftover.old) fs::last_write_time(leftover.path, old);
    }
    ASSERT_TRUE(Backup().ok());
    fs::remove(Card() / "ck9/re4/엄마.wav");
    ASSERT_TRUE(Restore().ok());
    EXPECT_EQ(ReadFile(Card() / "ck9/re4/엄마.wav"), "mum's song");
    for (const Leftover& leftover : leftovers)
        EXPECT_EQ(fs::exists(leftover.path), !leftover.cleared) << leftover.path;
}

// Too little room is said before the question, with nothing written; a card that fills or is
// pulled part-way either stays as it was, or is said to have changed, and a second restore
// brings it whole.
TEST_F(CardBackupTest, ARestoreOntoAFullCardSaysTrulyWhetherTheCardChanged) {
    const auto whole = Snapshot(Card());
    ASSERT_TRUE(Backup().ok());
    BreakCard();
    const auto broken = Snapshot(Card());
    const fs::path saved = dir.path() / "broken-card";
    fs::copy(Card(), saved, fs::copy_options::recursive);
    const auto restoreWith = [&](std::uint64_t freeBytes) {
        const test::FixedFreeSpace space{freeBytes};
        return Restore(false, true, &space);
    };

    const auto refused = restoreWith(300000);
    EXPECT_EQ(refused.message().find("카드의 빈 공간이 부족하여"), 0u) << refused.message();
    EXPECT_EQ(refused.kind(), OutcomeKind::CardFull);
    EXPECT_EQ(refused.status().id(), MessageId::RestoreNoSpace);
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(Snapshot(Card()), broken);

    CardFaults::FailAfter(std::nullopt);
    ASSERT_TRUE(restoreWith(test::kPlentyOfSpace).ok());
    const std::vector<CardFaults::Write> writes = CardFaults::Writes();
    CardFaults::Clear();
    bool sawPartly = false;
    for (std::size_t i = 0; i < writes.size(); ++i) {
        fs::remove_all(Card());
        fs::copy(saved, Card(), fs::copy_options::recursive);
        CardFaults::FailAfter(writes[i].start + writes[i].size / 2);
        const auto cut = restoreWith(test::kPlentyOfSpace);
        CardFaults::Clear();
        const std::string when = "cut in write " + std::to_string(i + 1);
        ASSERT_FALSE(cut.ok()) << when;
        if (Snapshot(Card()) == broken) {
            EXPECT_EQ(cut.message(), kMsgRestoreNotWritten) << when;
        } else {
            sawPartly = true;
            EXPECT_EQ(cut.message(), kMsgRestorePartlyWritten) << when;
        }
        for (const auto& entry : fs::recursive_directory_iterator(Card()))
            EXPECT_NE(entry.path().filename().string().rfind(".~", 0), 0u) << when;
        ASSERT_TRUE(restoreWith(test::kPlentyOfSpace).ok()) << when;
        EXPECT_EQ(Snapshot(Card()), whole) << when;
    }
    EXPECT_TRUE(sawPartly) << "a cut between two renames";
}

TEST_F(CardBackupTest, AnsweringNoChangesNothing) {
    ASSERT_TRUE(Backup().ok());
    BreakCard();
    const auto broken = Snapshot(Card());
    const auto refused = Restore(false, false);
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(Snapshot(Card()), broken);
}

// Each archive must be refused before a byte of the card changes.
TEST_F(CardBackupTest, DamagedOrForeignArchivesChangeNothing) {
    ASSERT_TRUE(Backup().ok());
    const std::string good = ReadFile(archive);
    nlohmann::json otherType = nlohmann::json::parse(ManifestOf(archive));
    otherType["soundType"] = "bluefin";
    nlohmann::json otherFormat = otherType;
    otherFormat["format"] = "someone-elses-backup";
    nlohmann::json climbing = nlohmann::json::parse(ManifestOf(archive));
    climbing["files"].push_back({{"path", "../outside"}, {"size", 1}, {"sha256", "00"}});

    struct Case {
        const char* what;
        std::function<void()> make;
        std::string_view refusal;
    };
    const std::size_t recordingAt = good.find(std::string(1000, 'd'));
    ASSERT_NE(recordingAt, std::string::npos) << "recordings are stored uncompressed";
    std::vector<Case> cases = {
        {"a flipped byte in a recording",
         [&] {
             std::string bytes = good;
             bytes[recordingAt + 500] ^= 0x01;
             WriteFile(archive, bytes);
         },
         kMsgBackupDamaged},
        {"not an archive", [&] { WriteFile(archive, "PK not really"); }, kMsgBackupUnreadable},
        {"an archive without our manifest",
         [&] {
             fs::remove(archive);
             EditArchive(archive, {{"Default.dat", "x"}});
         },
         kMsgBackupForeign},
        {"another program's manifest",
         [&] {
             EditArchive(archive, {{"manifest.json", otherFormat.dump()}});
         },
         kMsgBackupForeign},
        {"a file the manifest does not list",
         [&] {
             EditArchive(archive, {{"card/ck9/re3/extra.mp3", "x"}});
         },
         kMsgBackupDamaged},
        {"a hash that does not match",
         [&] {
             EditArchive(archive, {{"card/info.dat", "FW 9.9"}});
         },
         kMsgBackupDamaged},
        {"a name that climbs out of the card",
         [&] {
             EditArchive(archive, {{"manifest.json", climbing.dump()}, {"card/../outside", "x"}});
         },
         kMsgBackupUnsafeName},
        {"an absolute name",
         [&] {
             EditArchive(archive, {{"card//etc/passwd", "x"}});
         },
         kMsgBackupUnsafeName},
        {"a symbolic link",
         [&] {
             EditArchive(archive, {{"card/info.dat", "FW 2.1"}}, {"card/info.dat"});
         },
         kMsgBackupUnsafeName},
    };
    // A second name for the recording that FAT stores as the same file: whichever the restore
    // wrote last would be the recording, whatever its hash.
    for (const char* sameOnFat : {"ck9/re1/dad.mp3.", "ck9/re1/dad.mp3 ", "ck9/re1/DAD.MP3",
                                  "ck9./re1/dad.mp3", "CK9 /re1/dad.mp3. ."}) {
        cases.push_back(
            {sameOnFat,
             [&, sameOnFat] {
                 nlohmann::json twice = nlohmann::json::parse(ManifestOf(archive));
                 twice["files"].push_back({{"path", sameOnFat},
                                           {"size", 14},
                                           {"sha256",
                                            "dc2445ac4b0c9f9a08314ceea281af13d94da76f00c838f606"
                                            "6138f7b7cdae64"}});
                 EditArchive(archive, {{"manifest.json", twice.dump()},
                                       {std::string("card/") + sameOnFat, "an impostor's!"}});
             },
             kMsgBackupDamaged});
    }
    cases.push_back(
        {"a name of dots and blanks only",
         [&] {
             nlohmann::json blank = nlohmann::json::parse(ManifestOf(archive));
             blank["files"].push_back({{"path", "ck9/. ."}, {"size", 1}, {"sha256", "00"}});
             EditArchive(archive, {{"manifest.json", blank.dump()}});
         },
         kMsgBackupUnsafeName});
    BreakCard();
    const auto broken = Snapshot(Card());
    for (const Case& c : cases) {
        WriteFile(archive, good);
        c.make();
        const auto refused = Restore();
        EXPECT_FALSE(refused.ok()) << c.what;
        EXPECT_EQ(refused.message(), c.refusal) << c.what;
        EXPECT_TRUE(asked.empty()) << c.what << ": asked before the archive was checked";
        EXPECT_EQ(Snapshot(Card()), broken) << c.what;
        EXPECT_FALSE(fs::exists(dir.path() / "outside")) << c.what;
    }

    // Another sound type: refused, unless forced.
    WriteFile(archive, good);
    EditArchive(archive, {{"manifest.json", otherType.dump()}});
    const auto refused = Restore();
    EXPECT_EQ(refused.message(), RestoreOtherSoundType("bluefin", "larkspin"));
    EXPECT_EQ(refused.kind(), OutcomeKind::Refused);
    EXPECT_EQ(refused.status().said(),
              Say(MessageId::RestoreOtherSoundType, "bluefin", "larkspin"));
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(Snapshot(Card()), broken);
    EXPECT_TRUE(Restore(true).ok());
    EXPECT_EQ(ReadFile(Card() / "ck9/re1/dad.mp3"), std::string(300000, 'd'));
}

TEST_F(CardBackupTest, ARestoreNeverFollowsALinkOnTheCard) {
    ASSERT_TRUE(Backup().ok());
    const fs::path elsewhere = dir.path() / "elsewhere";
    fs::create_directories(elsewhere);
    fs::remove_all(Card() / "ck9/re1");
    fs::create_directory_symlink(elsewhere, Card() / "ck9/re1");
    const auto refused = Restore();
    EXPECT_EQ(refused.message(), kMsgBackupUnsafeName);
    EXPECT_TRUE(fs::is_empty(elsewhere));
}

// The last progress the engine told.
class LastProgress final : public IJobObserver {
  public:
    void OnProgress(const JobProgress& progress) override { last = progress; }
    JobProgress last;
};

// A plan reads the card and the backup and writes nothing, whatever it finds; it lists exactly the
// files whose bytes differ, and its question names them.
TEST_F(CardBackupTest, APlanWritesNothingAndNamesWhatTheRestoreReplaces) {
    ASSERT_TRUE(Backup().ok());
    BreakCard();
    const auto broken = Snapshot(Card());
    torvane::Card card(Card().string());
    const Result<RestorePlan> plan = PlanRestore(card, archive.string(), {});
    ASSERT_TRUE(plan.ok()) << plan.message();
    EXPECT_EQ(Snapshot(Card()), broken);
    EXPECT_EQ(plan.value().replaced, std::vector<std::string>{"ck9/rec.tbl"});
    for (const char* gone : {"Diy.dat", "ck1/ja/00000003.qvx", "ck9/re1/dad.mp3", "ck9/rec.tbl"})
        EXPECT_TRUE(std::binary_search(plan.value().changes.begin(), plan.value().changes.end(),
                                       std::string(gone)))
            << gone;
    const Message question = plan.value().Question();
    EXPECT_EQ(question.id, MessageId::RestoreQuestion);
    EXPECT_EQ(question.args.front(), std::to_string(plan.value().manifest.files.size()));
    EXPECT_EQ(question.args.back(), "ck9/rec.tbl");
}

// What the parent agreed to is what is written: a backup replaced or damaged between the question
// and the restore writes nothing.
TEST_F(CardBackupTest, ABackupChangedAfterItsPlanWritesNothing) {
    ASSERT_TRUE(Backup().ok());
    const std::string good = ReadFile(archive);
    const std::size_t recordingAt = good.find(std::string(1000, 'd'));
    ASSERT_NE(recordingAt, std::string::npos);
    BreakCard();
    const auto broken = Snapshot(Card());
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"a flipped byte in a recording",
         [&] {
             std::string bytes = good;
             bytes[recordingAt + 500] ^= 0x01;
             WriteFile(archive, bytes);
         }},
        {"another backup",
         [&] {
             EditArchive(archive, {{"card/info.dat", "FW 9.9"}});
         }},
        {"gone", [&] { fs::remove(archive); }},
    };
    for (const auto& [what, change] : changes) {
        WriteFile(archive, good);
        torvane::Card card(Card().string());
        const Result<RestorePlan> plan = PlanRestore(card, archive.string(), {});
        ASSERT_TRUE(plan.ok()) << what;
        change();
        const auto restored = RestoreCard(card, plan.value());
        EXPECT_FALSE(restored.ok()) << what;
        EXPECT_EQ(Snapshot(Card()), broken) << what;
    }
}

// The desktop app plans on the engine's thread, asks on its own, then restores as a second job:
// the same refusals, its progress told, nothing written before the restore job.
TEST_F(CardBackupTest, AsJobsBackupAndRestoreTellTheirProgressAndPlanBeforeWriting) {
    const ServiceSession noAccount;
    LastProgress observer;
    test::FixedFreeSpace space{test::kPlentyOfSpace};
    ThreadedJobRunner runner(noAccount, observer, space, nullptr, JobTiming::Immediate());
    RestorePlan plan;
    const auto run = [&](CardCareJob::Action action) {
        CardCareJob job;
        job.action = action;
        job.card = std::make_shared<torvane::Card>(Card().string());
        job.archive = archive.string();
        job.plan = &plan;
        return runner.Run(DownloadJob(job));
    };

    const JobOutcome backedUp = run(CardCareJob::Action::Backup);
    ASSERT_TRUE(backedUp.status.ok());
    EXPECT_GT(observer.last.overallTotal, 300000u);
    EXPECT_EQ(observer.last.overallDone, observer.last.overallTotal);
    EXPECT_EQ(backedUp.status.id(), MessageId::BackupWritten);
    EXPECT_EQ(backedUp.status.said().args.back(), archive.string());

    BreakCard();
    const auto broken = Snapshot(Card());
    ASSERT_TRUE(run(CardCareJob::Action::PlanRestore).status.ok());
    EXPECT_EQ(Snapshot(Card()), broken);
    EXPECT_FALSE(plan.manifest.files.empty());

    const JobOutcome restoredWhole = run(CardCareJob::Action::Restore);
    ASSERT_TRUE(restoredWhole.status.ok());
    EXPECT_EQ(ReadFile(Card() / "ck9/re1/dad.mp3"), std::string(300000, 'd'));
    EXPECT_EQ(restoredWhole.status.said(), Say(MessageId::RestoreDone));

    WriteFile(archive, "PK not really");
    const auto restored = Snapshot(Card());
    const JobOutcome damaged = run(CardCareJob::Action::PlanRestore);
    EXPECT_FALSE(damaged.Completed());
    EXPECT_EQ(damaged.status.message(), kMsgBackupUnreadable);
    EXPECT_EQ(IconOf(damaged.status.id(), damaged.status.kind()), MessageKind::Error);
    EXPECT_EQ(Snapshot(Card()), restored);
}

}  // namespace
}  // namespace torvane
