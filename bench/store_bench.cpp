// How the device store scales: the cipher in memory (each way of running its blocks, the first
// being one block after another) against its file functions and a plain safe copy of the same
// file, the content database at 10,000 contents of 20 files, and the folder tables over 20,000
// files.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "store/default_xml.h"
#include "store/device_files.h"
#include "store/file_cipher.h"
#include "store/folder_tables.h"

namespace {

using namespace torvane;
namespace fs = std::filesystem;

constexpr std::size_t kCipherBytes = 16 * 1024 * 1024;

class ScratchFolder {
  public:
    explicit ScratchFolder(const std::string& name) {
        static std::atomic<int> counter{0};
        path_ = (fs::temp_directory_path() /
                 ("torvane-bench-" + name + "-" + std::to_string(::getpid()) + "-" +
                  std::to_string(++counter)))
                    .string();
        fs::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code error;
        fs::remove_all(path_, error);
    }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

std::string MakePlainFile(const std::string& folder) {
    const std::string path = folder + "/plain";
    std::string bytes(kCipherBytes, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 31 + 7);
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

template <bool Encipher>
void BM_CipherInMemory(benchmark::State& state) {
    const auto lanes = static_cast<TeaLanes>(state.range(0));
    if (!CanRun(lanes)) {
        state.SkipWithError("this processor cannot run these lanes");
        return;
    }
    std::vector<std::uint8_t> bytes(kCipherBytes, 0x5A);
    const TeaKey key = DeriveFileKey(kFileCipherKey);
    for (auto _ : state) {
        Encipher ? EncipherBlocks(lanes, bytes, key) : DecipherBlocks(lanes, bytes, key);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kCipherBytes));
}
// 0: one block after another, 1: portable lanes, 2: AVX2 lanes.
BENCHMARK(BM_CipherInMemory<true>)
    ->Name("BM_EncipherInMemory")
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CipherInMemory<false>)
    ->Name("BM_DecipherInMemory")
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond);

void BM_EncipherFile(benchmark::State& state) {
    ScratchFolder folder("encipher");
    const std::string plain = MakePlainFile(folder.path());
    for (auto _ : state) EncipherFile(plain, folder.path() + "/enc");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kCipherBytes));
}
BENCHMARK(BM_EncipherFile)->Unit(benchmark::kMillisecond);

void BM_DecipherFile(benchmark::State& state) {
    ScratchFolder folder("decipher");
    const std::string plain = MakePlainFile(folder.path());
    EncipherFile(plain, folder.path() + "/enc");
    for (auto _ : state) DecipherFile(folder.path() + "/enc", folder.path() + "/back");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kCipherBytes));
}
BENCHMARK(BM_DecipherFile)->Unit(benchmark::kMillisecond);

// What the file functions cannot go below: the same bytes read and written safely, not enciphered.
void BM_CopyFileSafely(benchmark::State& state) {
    ScratchFolder folder("copy");
    const std::string plain = MakePlainFile(folder.path());
    for (auto _ : state) CopyFileSafely(plain, folder.path() + "/copy", CopyPath::BytesOnly);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kCipherBytes));
}
BENCHMARK(BM_CopyFileSafely)->Unit(benchmark::kMillisecond);

// 10,000 contents of 20 files, spread over the stored shelves, with Korean titles.
CDefaultXML MakeLargeDatabase(const std::string& root) {
    static const char* kTypes[] = {"language", "music", "story", "book", "card", "excellent"};
    static const char kLetters[] = {'L', 'M', 'S', 'B', 'C', 'E'};
    CDefaultXML model(root);
    model.setSystemVersion("1.0");
    model.setSoundType("1");
    for (int i = 0; i < 10000; ++i) {
        ContentRecord content;
        const int type = i % 6;
        content.contentNo = kLetters[type] + std::to_string(100000 + i);
        content.title = "동화 나라 " + std::to_string(i) + " & 친구들";
        content.mainGroup = kTypes[type];
        content.subGroup = i % 4 == 0 ? "series" : "normal";
        content.date = "2024-03-05T14-07-09";
        content.status = "enable";
        for (int f = 0; f < 20; ++f) {
            FileRecord file;
            file.name = std::to_string(10000000 + i * 20 + f) + ".qvx";
            file.language = "ko";
            file.folderType = "1";
            file.rfidCardId = std::to_string(10000000 + i * 20 + f);
            file.size = 123456;
            content.files.push_back(std::move(file));
        }
        model.Contents(*ShelfFor(content.mainGroup, content.subGroup)).push_back(content);
    }
    return model;
}

void BM_SaveLargeDatabase(benchmark::State& state) {
    ScratchFolder device("save");
    CDefaultXML model = MakeLargeDatabase(device.path());
    for (auto _ : state) benchmark::DoNotOptimize(model.Save().ok());
    state.counters["bytes"] = static_cast<double>(fs::file_size(device.path() + "/Default.dat"));
}
BENCHMARK(BM_SaveLargeDatabase)->Unit(benchmark::kMillisecond);

void BM_LoadLargeDatabase(benchmark::State& state) {
    ScratchFolder device("load");
    if (!MakeLargeDatabase(device.path()).Save().ok()) state.SkipWithError("not saved");
    CDefaultXML model(device.path());
    for (auto _ : state) benchmark::DoNotOptimize(model.Load().ok());
}
BENCHMARK(BM_LoadLargeDatabase)->Unit(benchmark::kMillisecond);

void BM_RebuildFolderTables(benchmark::State& state) {
    ScratchFolder device("tables");
    for (int i = 0; i < 20000; ++i) {
        const std::string folder =
            device.path() + "/ck2/" + (i % 2 ? "ko" : "en") + "/" + std::to_string(i % 5);
        if (i < 10) fs::create_directories(folder);
        std::ofstream(folder + "/" + std::to_string(10000000 + i) + ".qvx");
    }
    for (auto _ : state) benchmark::DoNotOptimize(RebuildFolderTables("language", device.path()));
}
BENCHMARK(BM_RebuildFolderTables)->Unit(benchmark::kMillisecond);

}  // namespace
