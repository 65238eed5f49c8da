// One record type for a content of the account's catalogue and for a content installed on the
// device. Text is UTF-8 in memory; the database writer turns it into CP949 for the device.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace torvane {

struct FileRecord {
    std::string name;        // device file name: digits and an extension, e.g. "00000001.qvx"
    std::string savedName;   // catalogue only
    std::string rfidCardId;  // the RFID card that plays this file
    std::string language;    // language folder of the file
    std::string fileUrl;     // catalogue only: where the service serves the file
    std::int32_t size = 0;   // bytes
    std::string folderType;  // folder kind of the file inside its language folder

    bool operator==(const FileRecord&) const = default;
};

struct ContentRecord {
    std::string contentNo;  // key; its first letter names the type (L, M, S, G, B, C, E)
    std::string title;
    std::string downloadType;        // catalogue only
    std::string mainGroup;           // type name: "language", "music", "story", "game", ...
    std::string subGroup;            // "series" puts books, cards and excellents on a series shelf
    std::string thumbnailImage;      // catalogue only
    std::int32_t downloadCount = 0;  // catalogue only
    std::int32_t endCount = 0;       // catalogue only
    std::string date;    // catalogue: end date; installed: "YYYY-MM-DDThh-mm-ss" local time
    std::string status;  // catalogue: default flag ('Y' first = yes); installed: "default",
                         // "enable" or empty
    std::vector<FileRecord> files;

    bool operator==(const ContentRecord&) const = default;
};

}  // namespace torvane
