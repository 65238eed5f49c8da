#include "store/device_setup.h"

#include <filesystem>

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
        fs::create_directories(root + "/ck9/re" + std::to_string(slot), error);
    if (!fs::is_directory(root + "/ck11", error)) return false;

    CDefaultXML database;
    database.setSystemVersion(systemVersion);
    database.setSoundType(soundType);
    if (!WriteEncipheredFile(root + "/Default.dat", database.SerializeDocument())) return false;

    for (const ContentKind& kind : kContentKinds)
        if (!kind.folder.empty() && !RebuildFolderTables(kind.name, root)) return false;
    if (!WriteEncipheredTable({}, root + "/ck6/rfid.tbl") ||
        !WriteEncipheredTable({}, root + "/ck4/rfid.tbl") ||
        !CopyFileSafely(root + "/ck4/rfid.tbl", root + "/ck4/sw.tbl"))
        return false;

    CDiyXML diy;
    diy.records().assign(kDiyCardCount, DiyRecord{});
    return WriteFileSafely(root + "/ck9/rec.tbl", diy.SerializeRecTable());
}

}  // namespace torvane
