// The routes that serve files: content sounds, name voices, benchmark files, pictures and
// packages, and the work of making them when the service starts.
#include <array>

#include "tools/demo_service/media.h"
#include "tools/demo_service/packages.h"
#include "tools/demo_service/routes.h"

namespace torvane::demo {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kSoundType = "application/octet-stream";

int ToneDurationMs(std::size_t fileIndex) {
    return 300 + 100 * static_cast<int>(fileIndex % 3);
}

// A stable colour for a content's thumbnail.
std::array<int, 3> ColourOf(std::string_view key) {
    unsigned hash = 2166136261u;
    for (char c : key) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return {static_cast<int>(96 + hash % 160), static_cast<int>(96 + (hash >> 8) % 160),
            static_cast<int>(96 + (hash >> 16) % 160)};
}

}  // namespace

bool ServiceRoutes::Prepare(const fs::path& workDir, std::string& error) {
    for (const DemoContent& content : data_.contents) {
        for (std::size_t i = 0; i < content.files.size(); ++i) {
            const DemoFile& file = content.files[i];
            files_[content.contentNo + "/" + file.name] =
                std::make_shared<StringBody>(MakeToneWav(file.toneHz, ToneDurationMs(i)));
        }
    }
    for (const DemoBanner& banner : data_.banners) {
        pictures_[banner.file] =
            std::make_shared<StringBody>(MakeStripedBmp(291, 49, banner.colour, banner.stripe));
    }

    auto addPackage = [&](const DemoPackage& package, const fs::path& zipPath) {
        auto body = FileBody::Open(zipPath);
        if (!body) {
            error = "cannot open " + zipPath.string();
            return false;
        }
        packages_[package.name] = std::move(body);
        return true;
    };
    std::error_code ec;
    for (const DemoPackage& package : data_.packages) {
        const fs::path card = workDir / ("card-" + package.name);
        fs::create_directories(card, ec);
        if (!WriteFreshCard(card, package, data_.soundType, error) ||
            !ZipFolder(card, workDir / package.name, error) ||
            !addPackage(package, workDir / package.name)) {
            return false;
        }
        fs::remove_all(card, ec);
    }
    if (settings_.bigPackageMiB > 0) {
        const std::string size = std::to_string(settings_.bigPackageMiB);
        benchPackage_ = {"update",
                         "bench",
                         "torvane_bench_" + size + "MiB.zip",
                         "속도 측정용 패키지 (" + size + " MiB)",
                         "2026-11-02",
                         "N",
                         "bench",
                         "bench"};
        if (!WriteBenchPackage(workDir / benchPackage_.name, settings_.bigPackageMiB,
                               workDir / "bench-work", error) ||
            !addPackage(benchPackage_, workDir / benchPackage_.name)) {
            return false;
        }
    }
    return true;
}

Answer ServiceRoutes::ContentFile(const RequestView& request) {
    // "/torvane/files/<contentNo>/<name>?contentNo=<contentNo>&fileNo=<n>": a client that cut
    // the address at an ampersand misses fileNo and gets nothing.
    const std::string rest = request.path.substr(std::string_view("/torvane/files/").size());
    const std::string contentNo = rest.substr(0, rest.find('/'));
    const DemoContent* content = data_.FindContent(contentNo);
    auto file = files_.find(rest);
    if (content == nullptr || file == files_.end() || ParamOf(request, "contentNo") != contentNo) {
        return NotFoundAnswer();
    }
    const auto fileNo = ParseDecimal(ParamOf(request, "fileNo"));
    if (!fileNo || *fileNo < 1 || static_cast<std::size_t>(*fileNo) > content->files.size() ||
        content->contentNo + "/" + content->files[*fileNo - 1].name != rest) {
        return NotFoundAnswer();
    }
    return {200, std::string(kSoundType), file->second};
}

Answer ServiceRoutes::VoiceFile(const RequestView& request) {
    // "/torvane/voice/<user>/<childNo>.mp3"
    const std::string rest = request.path.substr(std::string_view("/torvane/voice/").size());
    const std::size_t slash = rest.find('/');
    const std::size_t dot = rest.rfind(".mp3");
    if (slash == std::string::npos || dot == std::string::npos || dot < slash) {
        return NotFoundAnswer();
    }
    const std::string user = rest.substr(0, slash);
    const auto childNo = ParseDecimal(std::string_view(rest).substr(slash + 1, dot - slash - 1));
    if (!childNo || FindAccount(user) == nullptr) {
        return NotFoundAnswer();
    }
    for (const DemoChild& child : state_.Children(user)) {
        if (child.childNo == *childNo && child.voice == "exist") {
            if (settings_.oversizeVoiceMiB > 0) {
                const auto size = static_cast<std::uint64_t>(settings_.oversizeVoiceMiB) * kMiB;
                return {200, std::string(kSoundType), std::make_shared<GeneratedSoundBody>(size)};
            }
            return TextAnswer(200, kSoundType, VoiceWav(child.childNo));
        }
    }
    return NotFoundAnswer();
}

Answer ServiceRoutes::BenchFile(const RequestView& request) {
    // "?mib=N" or "?bytes=N": a generated sound of that size, for download benchmarks.
    std::uint64_t size = 0;
    if (const auto mib = ParseDecimal(ParamOf(request, "mib")); mib && *mib > 0 && *mib <= 4096) {
        size = static_cast<std::uint64_t>(*mib) * kMiB;
    } else if (const auto bytes = ParseDecimal(ParamOf(request, "bytes"));
               bytes && *bytes > 0 && *bytes <= 4096 * static_cast<long long>(kMiB)) {
        size = static_cast<std::uint64_t>(*bytes);
    } else {
        return NotFoundAnswer();
    }
    return {200, std::string(kSoundType), std::make_shared<GeneratedSoundBody>(size)};
}

Answer ServiceRoutes::Picture(const RequestView& request) {
    const std::string& path = request.path;
    if (path.starts_with("/torvane/banner/")) {
        auto it = pictures_.find(path.substr(std::string_view("/torvane/banner/").size()));
        return it == pictures_.end() ? NotFoundAnswer() : Answer{200, "image/bmp", it->second};
    }
    const std::string name = path.substr(std::string_view("/torvane/thumb/").size());
    const std::size_t dot = name.rfind(".bmp");
    if (dot == std::string::npos || data_.FindContent(name.substr(0, dot)) == nullptr) {
        return NotFoundAnswer();
    }
    return TextAnswer(200, "image/bmp", MakeStripedBmp(64, 48, ColourOf(name), {255, 255, 255}));
}

Answer ServiceRoutes::Package(const RequestView& request) {
    auto it = packages_.find(request.path.substr(std::string_view("/torvane/system/").size()));
    if (it == packages_.end()) {
        return NotFoundAnswer();
    }
    return {200, "application/zip", it->second};
}

}  // namespace torvane::demo
