// The install engine's three costly paths against a running local content service (started by
// bench/install_bench.sh), each beside the usual tools doing the same work on the same data, so
// that interleaved repetitions see the same machine load:
//   - DownloadToFile with the add-one transform on the 256 MiB generated file, and `curl -o`;
//   - extraction of the 100 MiB package with a step of one byte, and `unzip -o`;
//   - installing one content of 200 files of 1 MiB onto a fresh card, and curl + cp.
// TORVANE_BENCH_SERVICE gives the service's address, TORVANE_BENCH_PACKAGE the downloaded package.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/bench_support.h"
#include "delivery/download_worker.h"
#include "delivery/my_zip.h"
#include "service/http_client.h"
#include "service/session.h"
#include "store/card.h"
#include "store/default_xml.h"
#include "store/device_setup.h"

namespace {

using namespace torvane;
namespace fs = std::filesystem;
using bench::Env;
using bench::NoObserver;

// The session every benchmark downloads with; UseService points it at the service.
ServiceSession benchSession;

fs::path Scratch(const std::string& name) {
    return bench::Scratch("delivery-bench", name);
}

// Points the session at the service; false (and the benchmark skipped) without one.
bool UseService(benchmark::State& state) {
    const std::string base = Env("TORVANE_BENCH_SERVICE");
    if (base.empty()) {
        state.SkipWithError("TORVANE_BENCH_SERVICE is not set (run bench/install_bench.sh)");
        return false;
    }
    benchSession.baseUrl = base;
    return true;
}

void BM_DownloadToFileAddOne256MiB(benchmark::State& state) {
    if (!UseService(state)) return;
    const fs::path folder = Scratch("download");
    const std::string url = benchSession.baseUrl + "/torvane/bench/00009000.mp3?mib=256";
    for (auto _ : state) {
        std::FILE* file = std::fopen((folder / "big.qvx").c_str(), "wb");
        std::setvbuf(file, nullptr, _IOFBF, std::size_t{1} << 20);  // as the install engine does
        const bool ok = DownloadToFile(benchSession, url, file, nullptr, nullptr, true).ok();
        std::fclose(file);
        if (!ok) state.SkipWithError("download failed");
    }
    state.SetBytesProcessed(state.iterations() * 256LL * 1024 * 1024);
    fs::remove_all(folder);
}
BENCHMARK(BM_DownloadToFileAddOne256MiB)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void Shell(benchmark::State& state, const std::string& command) {
    if (std::system(command.c_str()) != 0) state.SkipWithError(command.c_str());
}

void BM_CurlReference256MiB(benchmark::State& state) {
    if (!UseService(state)) return;
    const fs::path folder = Scratch("curl");
    const std::string url = benchSession.baseUrl + "/torvane/bench/00009000.mp3?mib=256";
    for (auto _ : state)
        Shell(state, "curl -s -o '" + (folder / "big.bin").string() + "' '" + url + "'");
    fs::remove_all(folder);
}
BENCHMARK(BM_CurlReference256MiB)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

std::string BenchPackage(benchmark::State& state) {
    const std::string package = Env("TORVANE_BENCH_PACKAGE");
    if (package.empty()) {
        state.SkipWithError("TORVANE_BENCH_PACKAGE is not set (run bench/install_bench.sh)");
    }
    return package;
}

void BM_ExtractPackageStep1(benchmark::State& state) {
    const std::string package = BenchPackage(state);
    if (package.empty()) return;
    const fs::path folder = Scratch("extract");
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(folder / "out");
        state.ResumeTiming();
        CMyZip zip;
        if (!zip.OpenArchive(package).ok()) state.SkipWithError("package does not open");
        if (!zip.ExtractAll((folder / "out").string(), 1).ok())
            state.SkipWithError("extraction failed");
        zip.CloseArchive();
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_ExtractPackageStep1)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_UnzipReference(benchmark::State& state) {
    const std::string package = BenchPackage(state);
    if (package.empty()) return;
    const fs::path folder = Scratch("unzip");
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(folder / "out");
        state.ResumeTiming();
        Shell(state, "unzip -o -q '" + package + "' -d '" + (folder / "out").string() + "'");
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_UnzipReference)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

std::string BenchFileName(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "%08d.mp3", 9000 + i);
    return name;
}

void BM_Install200FilesOf1MiB(benchmark::State& state) {
    if (!UseService(state)) return;
    const fs::path folder = Scratch("install");
    ContentRecord content;
    content.contentNo = "M9000";
    content.title = "bench";
    content.mainGroup = "music";
    content.subGroup = "single";
    for (int i = 1; i <= 200; ++i) {
        const std::string name = BenchFileName(i);
        FileRecord file;
        file.name = name;
        file.rfidCardId = std::to_string(770000 + i);
        file.fileUrl = benchSession.baseUrl + "/torvane/bench/" + name + "?mib=1";
        file.size = 1024 * 1024;
        content.files.push_back(file);
    }
    const std::string card = (folder / "card").string();
    NoObserver observer;
    StatvfsFreeSpace space;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(card);
        CreateEmptyDevice(card, "1.0", "larkspin");
        auto target = std::make_shared<Card>(card);
        if (!target->LoadDatabase().ok()) {
            state.ResumeTiming();
            state.SkipWithError("the bench card's database was not read");
            break;
        }
        DownloadJob job(ContentInstallJob{{content}, target}, JobTiming::Immediate(),
                        (folder / "staging").string());
        state.ResumeTiming();
        DownloadWorker worker(std::move(job), benchSession, observer, space);
        const JobOutcome outcome = worker.Run();
        if (outcome.addedContentNos.size() != 1)
            state.SkipWithError(outcome.status.message().c_str());
    }
    state.SetBytesProcessed(state.iterations() * 200LL * 1024 * 1024);
    fs::remove_all(folder);
}
BENCHMARK(BM_Install200FilesOf1MiB)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// The same 200 files fetched by one curl process into a staging folder, then copied with cp.
void BM_CurlCpReference200Files(benchmark::State& state) {
    if (!UseService(state)) return;
    const fs::path folder = Scratch("curlcp");
    const fs::path config = folder / "curl.cfg";
    {
        std::ofstream out(config);
        for (int i = 1; i <= 200; ++i) {
            out << "url = \"" << benchSession.baseUrl << "/torvane/bench/" << BenchFileName(i)
                << "?mib=1\"\noutput = \"" << (folder / "stage/ck7" / BenchFileName(i)).string()
                << "\"\n";
        }
    }
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(folder / "stage");
        fs::remove_all(folder / "card");
        fs::create_directories(folder / "stage/ck7");
        fs::create_directories(folder / "card");
        state.ResumeTiming();
        Shell(state, "curl -s -K '" + config.string() + "' && cp -r '" +
                         (folder / "stage").string() + "/.' '" + (folder / "card").string() + "/'");
    }
    fs::remove_all(folder);
}
BENCHMARK(BM_CurlCpReference200Files)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
