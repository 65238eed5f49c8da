// How long checking a full card takes: 200 installed contents with 4,000 sound files spread over
// the six kind folders, the folder, game and DIY tables as the program writes them, a DIY
// database with recordings, a child's name voice, and the catalogue's size of every file so the
// short-file comparison runs too. A parent waits for this check before anything else happens.
// TORVANE_BENCH_FOLDER names a folder to build the card in instead of the temporary folder, such
// as a FAT card image mounted with tests/support/fat-card.sh, the device's own file system.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "delivery/card_check.h"
#include "store/card.h"
#include "store/card_paths.h"
#include "store/content_types.h"
#include "store/default_xml.h"
#include "store/device_setup.h"
#include "store/diy_xml.h"
#include "store/folder_tables.h"

namespace {

using namespace torvane;
namespace fs = std::filesystem;

constexpr int kContents = 200;
constexpr int kFilesPerContent = 20;  // 4,000 files in all
constexpr int kGames = 5;
constexpr int kRecordings = 40;

struct KindPlan {
    const char* typeName;
    char letter;
    const char* subGroup;
};

// Every kind that has a folder on the card, series included.
constexpr KindPlan kKinds[] = {
    {"language", 'L', "single"}, {"music", 'M', "single"}, {"story", 'S', "single"},
    {"book", 'B', "series"},     {"card", 'C', "single"},  {"excellent", 'E', "series"},
};

// The catalogue's record of the i-th content, as the service lists it.
ContentRecord CatalogueContent(int i) {
    const KindPlan& kind = kKinds[i % std::size(kKinds)];
    ContentRecord content;
    content.contentNo = kind.letter + std::to_string(1000 + i);
    content.title = "동화 나라 " + std::to_string(i) + " & 친구들";
    content.mainGroup = kind.typeName;
    content.subGroup = kind.subGroup;
    content.status = "N";
    for (int f = 0; f < kFilesPerContent; ++f) {
        FileRecord file;
        const int number = 10000000 + i * kFilesPerContent + f;
        file.name = std::to_string(number) + ".mp3";
        file.rfidCardId = std::to_string(number);
        file.language = f % 2 == 0 ? "ko" : "en";
        file.folderType = f % 3 == 0 ? "word" : "sound";
        file.size = 2000 + (number % 97) * 16;
        content.files.push_back(std::move(file));
    }
    return content;
}

void WriteBytes(const fs::path& path, std::size_t size) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << std::string(size, '\x5A');
}

fs::path BenchFolder() {
    const char* chosen = std::getenv("TORVANE_BENCH_FOLDER");
    return chosen != nullptr && *chosen != '\0' ? fs::path(chosen) : fs::temp_directory_path();
}

// The card, built once for the whole run, and removed at its end.
class FullCard {
  public:
    FullCard() : root_(BenchFolder() / ("torvane-card-check-" + std::to_string(::getpid()))) {
        fs::remove_all(root_);
        built_ = Build();
    }
    ~FullCard() {
        std::error_code error;
        fs::remove_all(root_, error);
    }
    FullCard(const FullCard&) = delete;
    FullCard& operator=(const FullCard&) = delete;

    std::string root() const { return root_.string(); }
    bool built() const { return built_; }
    const CatalogueSizes& sizes() const { return sizes_; }
    int files() const { return files_; }
    std::uintmax_t bytes() const { return bytes_; }

  private:
    bool Build() {
        const std::string root = root_.string();
        if (!CreateEmptyDevice(root, "1.0", "larkspin")) return false;
        CDefaultXML database(root);
        if (!database.Load().ok()) return false;
        for (int i = 0; i < kContents; ++i) {
            const ContentRecord content = CatalogueContent(i);
            if (!database.AddContent(content)) return false;
            for (const FileRecord& file : content.files)
                sizes_[content.contentNo][DeviceFileName(file.name)] =
                    static_cast<std::uint64_t>(file.size);
        }
        database.setSelectedChildNo(101);
        if (!database.Save().ok()) return false;

        // The sound files where the install engine puts them, then the tables it rebuilds.
        for (const Shelf shelf : kStoredShelves) {
            for (const ContentRecord& content : database.Contents(shelf)) {
                for (const FileRecord& file : content.files) {
                    const auto relative = ContentFilePath(content, file);
                    if (!relative) return false;
                    WriteBytes(root_ / *relative, static_cast<std::size_t>(file.size));
                    ++files_;
                }
            }
        }
        for (const KindPlan& kind : kKinds)
            if (!RebuildFolderTables(kind.typeName, root)) return false;

        // Games and the DIY content are chosen among the language contents.
        const std::vector<ContentRecord> language = database.Contents(Shelf::Language);
        for (int g = 0; g < kGames; ++g)
            if (!database.AddGameSelection(language.at(static_cast<std::size_t>(g)))) return false;
        if (!database.SelectDiyContent(language.at(kGames))) return false;

        CDiyXML diy(root);
        if (!diy.Load().ok()) return false;
        for (int r = 0; r < kRecordings; ++r) {
            const int slot = r % kDiySlotCount;
            const std::string file = "voice" + std::to_string(r) + ".mp3";
            diy.RecordForCard(kFirstDiyCard + r)->slots[static_cast<std::size_t>(slot)] = {
                "아빠 목소리 " + std::to_string(r), "2026-12-10T09-00-00", file};
            WriteBytes(root_ / card_paths::RecordingSlot(slot + 1) / file, 4096);
        }
        if (!diy.SaveDiyFile().ok() || !diy.SaveRecTable().ok()) return false;

        for (const std::string& voice : card_paths::NameVoiceFiles(root)) WriteBytes(voice, 8192);

        for (const auto& entry : fs::recursive_directory_iterator(root_))
            if (entry.is_regular_file()) bytes_ += entry.file_size();
        return true;
    }

    fs::path root_;
    bool built_ = false;
    CatalogueSizes sizes_;
    int files_ = 0;
    std::uintmax_t bytes_ = 0;
};

const FullCard& TheCard() {
    static const FullCard card;
    return card;
}

void BM_CheckFullCard(benchmark::State& state) {
    const FullCard& full = TheCard();
    if (!full.built()) {
        state.SkipWithError("the card could not be built");
        return;
    }
    // Only a sound card takes the whole path: every file compared, every table read.
    {
        Card card(full.root());
        const std::vector<CardProblem> problems = CheckCard(card, &full.sizes());
        if (!problems.empty()) {
            const std::string first =
                std::string(CardProblemKey(problems.front().kind)) + " " + problems.front().where;
            state.SkipWithError(("the card is not sound: " + first).c_str());
            return;
        }
    }
    for (auto _ : state) {
        Card card(full.root());  // the check loads the databases itself
        benchmark::DoNotOptimize(CheckCard(card, &full.sizes()));
    }
    state.counters["contents"] = kContents;
    state.counters["sound_files"] = full.files();
    state.counters["card_MiB"] = static_cast<double>(full.bytes()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_CheckFullCard)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
