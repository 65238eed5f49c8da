// The system packages the service offers: ZIP archives that, unpacked onto an empty folder, make
// a fresh device card (Default.dat with no contents, info.dat with the firmware version, the
// content folders with their empty tables). Made with libzip when the service starts.
#pragma once

#include <filesystem>
#include <string>

#include "tools/demo_service/demo_data.h"

namespace torvane::demo {

// Writes under `root` (which must exist) a fresh card for `package`.
bool WriteFreshCard(const std::filesystem::path& root, const DemoPackage& package,
                    const std::string& soundType, std::string& error);

// Archives everything below `folder` into `zipPath`: one entry per folder and per file, named by
// its path below `folder` with "/" separators, in name order, so the same tree always gives the
// same archive. Files are deflated at `level` (1 fastest to 9 smallest; 0 is libzip's default).
bool ZipFolder(const std::filesystem::path& folder, const std::filesystem::path& zipPath,
               std::string& error, int level = 0);

// A package for measuring download and unpacking speed: `mib` files of 1 MiB of noisy tones
// (partly compressible, like real sound data) below "bench/". `workDir` holds the files while the
// archive is written.
bool WriteBenchPackage(const std::filesystem::path& zipPath, int mib,
                       const std::filesystem::path& workDir, std::string& error);

}  // namespace torvane::demo
