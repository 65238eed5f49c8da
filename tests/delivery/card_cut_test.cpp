// A card that fails part-way through any write of any job (full, pulled, a crash that leaves the
// card as it was at that moment): each job is run once to learn its writes, then again with the
// card failing in the middle of each write in turn. After every cut the card loads and agrees
// with itself: every content its database lists has all its files, whole, and nothing half-
// written is left under a file's own name.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <mutex>

#include "common/messages.h"
#include "delivery/content_actions.h"
#include "delivery/diy_actions.h"
#include "delivery/job_runner.h"
#include "store/content_types.h"
#include "store/device_files.h"
#include "store/diy_xml.h"
#include "tests/support/device_fixture.h"
#include "update/package_install.h"
#include "update/update_list.h"

namespace torvane {
namespace {

namespace fs = std::filesystem;

// Every status the job showed.
class StatusRecorder final : public IJobObserver {
  public:
    void OnProgress(const JobProgress& progress) override {
        std::lock_guard lock(mutex);
        if (statuses.empty() || statuses.back() != progress.status)
            statuses.push_back(progress.status);
    }
    bool Saw(std::string_view status) {
        std::lock_guard lock(mutex);
        return std::find(statuses.begin(), statuses.end(), status) != statuses.end();
    }
    std::mutex mutex;
    std::vector<std::string> statuses;
};

class CardCutTest : public test::ServiceFixture {
  protected:
    void TearDown() override {
        CardFaults::Clear();
        test::ServiceFixture::TearDown();
    }

    // The card as it is now: the database loads, every file a content lists is there with the
    // size the database gives, and the DIY slots in use point at files that are there.
    void ExpectCardAgreesWithItself(const std::string& when) {
        CDefaultXML loaded(Card().string());
        ASSERT_TRUE(loaded.Load().ok()) << when << ": ";
        for (const Shelf shelf : kStoredShelves) {
            const ContentKind& kind = KindOfShelf(shelf);
            for (const ContentRecord& content : loaded.Contents(shelf)) {
                for (const FileRecord& file : content.files) {
                    std::string path = Card().string() + "/" + std::string(kind.folder);
                    if (kind.filesByLanguage) path += "/" + file.language + "/" + file.folderType;
                    path += "/" + file.name;
                    std::error_code error;
                    const auto size = fs::file_size(path, error);
                    EXPECT_FALSE(error) << when << ": " << path << " is missing";
                    if (!error && file.size > 0) {
                        EXPECT_EQ(size, static_cast<std::uintmax_t>(file.size))
                            << when << ": " << path;
                    }
                }
            }
        }
        CDiyXML diy(Card().string());
        ASSERT_TRUE(diy.Load().ok()) << when << ": ";
        for (std::size_t card = 0; card < diy.records().size(); ++card)
            for (std::size_t slot = 0; slot < kDiySlotCount; ++slot) {
                const DiySlot& entry = diy.records()[card].slots[slot];
                if (!entry.InUse() || entry.file.empty()) continue;
                EXPECT_TRUE(fs::exists(Card() / ("ck9/re" + std::to_string(slot + 1)) / entry.file))
                    << when << ": card " << card + 1 << " slot " << slot + 1;
            }
        for (const auto& entry : fs::recursive_directory_iterator(Card()))
            EXPECT_NE(entry.path().filename().string().rfind(".~", 0), 0u)
                << when << ": " << entry.path() << " left behind";
    }

    // Runs `job` once with the writes recorded, then once per write with the card failing in
    // the middle of it, putting the card back before each run.
    void CutAtEveryWrite(const std::string& name, const std::function<void()>& job,
                         const std::function<void(bool cut)>& after = {}) {
        const fs::path saved = dir.path() / ("card-before-" + std::to_string(++runs_));
        fs::copy(Card(), saved, fs::copy_options::recursive);
        CardFaults::FailAfter(std::nullopt);
        job();
        const std::vector<CardFaults::Write> writes = CardFaults::Writes();
        CardFaults::Clear();
        ASSERT_FALSE(writes.empty()) << name;
        ExpectCardAgreesWithItself(name + " uncut");
        if (after) after(false);
        for (std::size_t i = 0; i < writes.size(); ++i) {
            fs::remove_all(Card());
            fs::copy(saved, Card(), fs::copy_options::recursive);
            // A card copied back is another card at the same path: it is opened afresh.
            card = std::make_shared<torvane::Card>(Card().string());
            ASSERT_TRUE(card->LoadDatabase().ok());
            sink.Clear();
            {
                std::lock_guard lock(observer.mutex);
                observer.statuses.clear();
            }
            CardFaults::FailAfter(writes[i].start + writes[i].size / 2);
            job();
            CardFaults::Clear();
            ExpectCardAgreesWithItself(name + " cut in write " + std::to_string(i + 1) + " of " +
                                       std::to_string(writes.size()));
            if (after) after(true);
        }
        // Back to the card as it was before the job, for the next one: again another card.
        fs::remove_all(Card());
        fs::copy(saved, Card(), fs::copy_options::recursive);
        card = std::make_shared<torvane::Card>(Card().string());
        ASSERT_TRUE(card->LoadDatabase().ok());
    }
    int runs_ = 0;

    test::FixedFreeSpace space{test::kPlentyOfSpace};
    StatusRecorder observer;
    ThreadedJobRunner runner{session, observer, space, nullptr, JobTiming::Immediate()};
};

TEST_F(CardCutTest, ContentInstallAndReinstall) {
    const std::vector<ContentRecord> contents = {Content("L0001"), Content("M0002")};
    CutAtEveryWrite("install", [&] { TransferContents(contents, false, *card, runner); });
    // A reinstall replaces files the database already lists: never truncated, never missing.
    ASSERT_TRUE(TransferContents(contents, false, *card, runner).AllInstalled());
    CutAtEveryWrite("reinstall", [&] { TransferContents(contents, true, *card, runner); });
}

TEST_F(CardCutTest, DeleteGameAndDiyChoice) {
    ASSERT_TRUE(TransferContents({Content("L0001"), Content("L0002"), Content("M0002")}, false,
                                 *card, runner)
                    .AllInstalled());
    CutAtEveryWrite("delete", [&] {
        static_cast<void>(
            DeleteContents(Shelf::Music, {card->database().Contents(Shelf::Music).at(0)}, *card));
    });
    CutAtEveryWrite("game add", [&] {
        AddToGameSelection({card->database().Contents(Shelf::Language).at(0)}, *card);
    });
    CutAtEveryWrite("diy select", [&] {
        static_cast<void>(
            ChooseDiyContent(card->database().Contents(Shelf::Language).at(1), *card));
    });
}

TEST_F(CardCutTest, DiyRecordings) {
    const fs::path source = dir.path() / "song.mp3";
    test::WriteFile(source, "ID3" + std::string(100 * 1024, 's'));
    CutAtEveryWrite("diy assign", [&] {
        const auto target = std::make_shared<torvane::Card>(Card().string());
        ASSERT_TRUE(target->LoadDiy().ok());
        AssignDiyFiles(*target, 7, 1, {source.string(), source.string()}, runner);
    });
}

// An update never unpacks the package's blank database over the card's, and one that fails
// says so: never the sentence of a completed update.
TEST_F(CardCutTest, UpdatePackage) {
    ASSERT_TRUE(TransferContents({Content("M0002")}, false, *card, runner).AllInstalled());
    const std::string databaseBefore = test::ReadFile(Card() / "Default.dat");
    UpdateFileList list;
    ASSERT_TRUE(list.FetchUpdateFiles(session).ok());
    UpdateFile update;
    for (const UpdateFile& file : list.Files())
        if (file.name.find("update") != std::string::npos) update = file;
    ASSERT_FALSE(update.fileUrl.empty());
    JobOutcome outcome;
    CutAtEveryWrite(
        "update",
        [&] { outcome = InstallConfirmedPackage(update, PackageKind::Update, card, runner); },
        [&](bool cut) {
            EXPECT_EQ(test::ReadFile(Card() / "Default.dat"), databaseBefore);
            if (cut) {
                EXPECT_FALSE(outcome.status.ok());
                EXPECT_NE(outcome.status.id(), MessageId::UpdateDone);
                EXPECT_FALSE(observer.Saw(kMsgDownloadDone));
            }
        });
}

}  // namespace
}  // namespace torvane
