// A system package of any bytes, unpacked into a folder of its own: nothing is written outside
// that folder, and the extraction ends.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "delivery/my_zip.h"
#include "store/device_files.h"

namespace {

std::size_t EntriesBelow(const std::string& folder) {
    std::size_t count = 0;
    std::error_code error;
    for (std::filesystem::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error))
        ++count;
    return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const torvane::ScratchFolder scratch("fuzz-zip");
    static const std::string outside = scratch.path() + "/outside";
    static const std::string card = outside + "/card";
    static const std::string package = scratch.path() + "/package.zip";
    if (scratch.path().empty()) std::abort();
    std::filesystem::create_directories(card);
    if (!torvane::WriteFileSafely(package,
                                  std::string_view(reinterpret_cast<const char*>(data), size)))
        std::abort();
    torvane::CMyZip zip;
    if (zip.OpenArchive(package).ok()) {
        (void)zip.ExtractAll(card, 1 + size % 3);
        zip.CloseArchive();
    }
    // The card folder is the only thing below "outside": no entry climbed out of it.
    if (EntriesBelow(outside) != 1 + EntriesBelow(card)) std::abort();
    torvane::EmptyFolderTree(card);
    return 0;
}
