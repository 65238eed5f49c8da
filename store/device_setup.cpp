#include "store/device_setup.h"

#include <filesystem>

#include "store/card_paths.h"
#include "store/content_types.h"
#include "store/default_xml.h"
#include "store/device_files.h"
#include "store/diy_xml.h"
#include "store/file_cipher.h"
#include "store/folder_tables.h"

namespace torvane {

bool CreateEmptyDevice(const std::string& root, const std::string& systemVersion,
                       const std::string& soundType) {
    namespace fs = std::filesystem;
    std::error_code error;
    for (int i = 1; i <= 11; ++i) fs::create_directories(root + "/ck" + std::to_string(i), error);
    for (int slot = 1; slot <= kDiySlotCount; ++slot)
        fs::create_directories(card_paths::RecordingSlotFolder(root, slot), error);
    if (!fs::is_directory(root + "/ck11", error)) return false;

    CDefaultXML database;
    database.setSystemVersion(systemVersion);
    database.setSoundType(soundType);
    if (!WriteEncipheredFile(card_paths::Below(root, card_paths::kDatabase),
                             database.SerializeDocument()))
        return false;

    for (const ContentKind& kind : kContentKinds)
        if (!kind.folder.empty() && !RebuildFolderTables(kind.name, root)) return false;
    const auto below = [&root](std::string_view relative) {
        return card_paths::Below(root, relative);
    };
    if (!WriteEncipheredTable({}, below(card_paths::kGameTable)) ||
        !WriteEncipheredTable({}, below(card_paths::kDiyContentTable)) ||
        !CopyFileSafely(below(card_paths::kDiyContentTable), below(card_paths::kDiyContentSwTable)))
        return false;

    CDiyXML diy;
    diy.records().assign(kDiyCardCount, DiyRecord{});
    return WriteFileSafely(below(card_paths::kRecordingTable), diy.SerializeRecTable());
}

}  // namespace torvane
