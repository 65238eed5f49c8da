#include "cli/json_shape.h"

#include <algorithm>
#include <cctype>
#include <regex>

namespace torvane::cli {

json IsoDate(std::string_view text) {
    static const std::regex cardStamp(R"((\d{4}-\d{2}-\d{2})T(\d{2})-(\d{2})-(\d{2}))");
    static const std::regex day(R"(\d{4}-\d{2}-\d{2}(T\d{2}:\d{2}:\d{2})?)");
    const std::string value(text);
    std::smatch parts;
    if (std::regex_match(value, parts, cardStamp))
        return parts[1].str() + "T" + parts[2].str() + ":" + parts[3].str() + ":" + parts[4].str();
    if (std::regex_match(value, day)) return value;
    return nullptr;
}

void AddDate(json& object, const std::string& name, std::string_view text) {
    object[name] = text;
    object[name + "Iso"] = IsoDate(text);
}

json NumberOrText(std::string_view text) {
    const bool digits =
        !text.empty() && text.size() <= 9 && (text.size() == 1 || text.front() != '0') &&
        std::all_of(text.begin(), text.end(),
                    [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
    return digits ? json(std::stol(std::string(text))) : json(text);
}

std::string CamelCase(std::string_view name) {
    std::string out(name);
    if (!out.empty())
        out.front() = static_cast<char>(std::tolower(static_cast<unsigned char>(out.front())));
    // An upper-case run at the end reads as one word: "userID" is "userId".
    std::size_t run = out.size();
    while (run > 1 && std::isupper(static_cast<unsigned char>(out[run - 1]))) --run;
    for (std::size_t i = run + 1; i < out.size(); ++i)
        out[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(out[i])));
    return out;
}

json FileJson(const FileRecord& file) {
    json entry = {{"name", file.name},
                  {"language", file.language},
                  {"folderType", file.folderType},
                  {"rfidCardId", file.rfidCardId},
                  {"fileSize", file.size}};
    if (!file.savedName.empty()) entry["savedName"] = file.savedName;
    if (!file.fileUrl.empty()) entry["fileUrl"] = file.fileUrl;
    return entry;
}

json ContentJson(const ContentRecord& content, bool onCard) {
    json files = json::array();
    for (const FileRecord& file : content.files) files.push_back(FileJson(file));
    json entry = {{"contentNo", content.contentNo},
                  {"name", content.title},
                  {"mainGroup", content.mainGroup},
                  {"subGroup", content.subGroup}};
    if (onCard) {
        AddDate(entry, "downloadDate", content.date);
        entry["status"] = content.status;
    } else {
        entry["downloadType"] = NumberOrText(content.downloadType);
        entry["thumbnailImage"] = content.thumbnailImage;
        entry["downCount"] = content.downloadCount;
        entry["endCount"] = content.endCount;
        AddDate(entry, "endDate", content.date);
        // The service marks a default content with a leading 'Y'.
        entry["defaultContent"] = !content.status.empty() && content.status.front() == 'Y';
    }
    entry["files"] = files;
    return entry;
}

json ChildJson(const ChildInfo& child) {
    json nameFiles = json::array();
    for (const NameFile& file : child.nameFiles)
        nameFiles.push_back({{"soundType", file.soundType},
                             {"status", file.status},
                             {"url", file.url},
                             {"size", file.size}});
    // A number the service wrote badly is shown as null, never as a number it did not send.
    json entry = {{"childNo", child.numberValid ? json(child.childNo) : json(nullptr)},
                  {"familyName", child.familyName},
                  {"firstName", child.firstName},
                  {"sex", child.IsBoy() ? "boy" : "girl"}};
    AddDate(entry, "birthday", child.birthday);
    entry["nameFiles"] = nameFiles;
    return entry;
}

json UpdateJson(const UpdateFile& file, std::size_t index) {
    json entry = {{"index", index},
                  {"version", file.version},
                  {"name", file.name},
                  {"description", file.description}};
    AddDate(entry, "registeredDate", file.registeredDate);
    entry["fileUrl"] = file.fileUrl;
    entry["fileSize"] = file.size;
    entry["selected"] = file.selected;
    return entry;
}

}  // namespace torvane::cli
