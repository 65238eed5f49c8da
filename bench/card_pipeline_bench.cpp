// The install of many contents onto a slow card (FAT through FUSE), against the two things it is
// made of, each alone on the same data: the downloads from the local content service and the
// copies onto the card. Run by bench/card_pipeline_bench.sh, which mounts the card, measures the
// copy rate and throttles the service near it, so that neither side hides the other; an install
// that overlaps the two takes little more than the slower of them.
// TORVANE_BENCH_SERVICE gives the service's address, TORVANE_BENCH_CARD the mounted card.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "delivery/download_worker.h"
#include "delivery/folder_tree.h"
#include "service/http_client.h"
#include "service/session.h"
#include "store/card.h"
#include "store/content_types.h"
#include "store/device_files.h"
#include "store/device_setup.h"

namespace {

using namespace torvane;
namespace fs = std::filesystem;
using bench::Env;
using bench::NoObserver;

constexpr int kContents = 20;
constexpr int kFilesPerContent = 10;
constexpr std::int64_t kFileBytes = 1024 * 1024;
constexpr std::int64_t kAllBytes = kContents * kFilesPerContent * kFileBytes;

ServiceSession benchSession;

fs::path Scratch(const std::string& name) {
    return bench::Scratch("pipeline-bench", name);
}

// The service and the card from the script; false (and the benchmark skipped) without them.
bool UseSetup(benchmark::State& state, std::string& card) {
    benchSession.baseUrl = Env("TORVANE_BENCH_SERVICE");
    card = Env("TORVANE_BENCH_CARD");
    if (benchSession.baseUrl.empty() || card.empty()) {
        state.SkipWithError("run bench/card_pipeline_bench.sh");
        return false;
    }
    return true;
}

// Twenty music contents of ten files of 1 MiB, served by the service's generated files.
std::vector<ContentRecord> BenchContents() {
    std::vector<ContentRecord> contents;
    for (int c = 1; c <= kContents; ++c) {
        ContentRecord content;
        content.contentNo = "M" + std::to_string(9100 + c);
        content.title = "bench " + std::to_string(c);
        content.mainGroup = "music";
        content.subGroup = "single";
        for (int f = 1; f <= kFilesPerContent; ++f) {
            FileRecord file;
            char name[32];
            std::snprintf(name, sizeof name, "%08d.mp3", 91000 + c * 100 + f);
            file.name = name;
            file.rfidCardId = std::to_string(880000 + c * 100 + f);
            file.fileUrl = benchSession.baseUrl + "/torvane/bench/" + name + "?mib=1";
            file.size = static_cast<std::int32_t>(kFileBytes);
            content.files.push_back(file);
        }
        contents.push_back(content);
    }
    return contents;
}

void EmptyCard(const std::string& card) {
    EmptyFolderTree(card);
    CreateEmptyDevice(card, "1.0", "larkspin");
}

// Every file downloaded one after another into the computer's folder, as the engine fetches them.
void BM_DownloadAlone(benchmark::State& state) {
    std::string card;
    if (!UseSetup(state, card)) return;
    const fs::path folder = Scratch("download");
    const std::vector<ContentRecord> contents = BenchContents();
    for (auto _ : state) {
        for (const ContentRecord& content : contents) {
            for (const FileRecord& file : content.files) {
                std::FILE* out = std::fopen((folder / file.name).c_str(), "wb");
                std::setvbuf(out, nullptr, _IOFBF, std::size_t{1} << 20);
                const bool ok =
                    DownloadToFile(benchSession, file.fileUrl, out, nullptr, nullptr, true).ok();
                std::fclose(out);
                if (!ok) state.SkipWithError("download failed");
            }
        }
    }
    state.SetBytesProcessed(state.iterations() * kAllBytes);
    fs::remove_all(folder);
}
BENCHMARK(BM_DownloadAlone)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// Every file copied onto the card from a staged tree, by the engine's copy.
void BM_CopyAlone(benchmark::State& state) {
    std::string card;
    if (!UseSetup(state, card)) return;
    const fs::path staging = Scratch("staging");
    const std::string bytes(kFileBytes, '\x5a');
    for (const ContentRecord& content : BenchContents()) {
        for (const FileRecord& file : content.files) {
            const fs::path path = staging / *ContentFilePath(content, file);
            fs::create_directories(path.parent_path());
            std::ofstream(path, std::ios::binary)
                .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        }
    }
    for (auto _ : state) {
        state.PauseTiming();
        EmptyCard(card);
        const Card target(card);
        FolderTree folders;
        state.ResumeTiming();
        if (!folders.CopyFolderTree(staging.string(), target.anchor()))
            state.SkipWithError("copy failed");
        ::sync();
    }
    state.SetBytesProcessed(state.iterations() * kAllBytes);
    fs::remove_all(staging);
}
BENCHMARK(BM_CopyAlone)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// The install job of all twenty contents onto the card.
void BM_Install(benchmark::State& state) {
    std::string card;
    if (!UseSetup(state, card)) return;
    const fs::path folder = Scratch("install");
    NoObserver observer;
    StatvfsFreeSpace space;
    for (auto _ : state) {
        state.PauseTiming();
        EmptyCard(card);
        auto target = std::make_shared<Card>(card);
        if (!target->LoadDatabase().ok()) {
            state.ResumeTiming();
            state.SkipWithError("the bench card's database was not read");
            break;
        }
        DownloadJob job(ContentInstallJob{BenchContents(), target}, JobTiming::Immediate(),
                        (folder / "staging").string());
        state.ResumeTiming();
        DownloadWorker worker(std::move(job), benchSession, observer, space);
        const JobOutcome outcome = worker.Run();
        ::sync();
        if (outcome.addedContentNos.size() != kContents)
            state.SkipWithError(outcome.status.message().c_str());
    }
    state.SetBytesProcessed(state.iterations() * kAllBytes);
    fs::remove_all(folder);
}
BENCHMARK(BM_Install)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
