// The one shape of torvane-cli's JSON, shared by every command: camelCase names, numbers as
// numbers, booleans as booleans, the card's own date text with an ISO 8601 "...Iso" field beside
// it, DIY cards as the user types them ("card": 1) with the device's number beside them
// ("deviceCard": 92100001). torvane-cli(1) writes the shape down.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "children/children_service.h"
#include "store/content_record.h"
#include "update/update_list.h"

namespace torvane::cli {

using json = nlohmann::ordered_json;

// "2026-12-10T19-15-51" (the card's) as "2026-12-10T19:15:51", "2027-06-30" as it is; null for
// a text that is no date.
json IsoDate(std::string_view text);
// Adds `name` with the text as it is and `name`Iso beside it.
void AddDate(json& object, const std::string& name, std::string_view text);
// A service text made of decimal digits as a number, any other text as it is.
json NumberOrText(std::string_view text);
// A service field name in camelCase: "userID" as "userId", "UserName" as "userName".
std::string CamelCase(std::string_view name);

json FileJson(const FileRecord& file);
// A content of the catalogue (`onCard` false) or of the card's database.
json ContentJson(const ContentRecord& content, bool onCard);
json ChildJson(const ChildInfo& child);
// A package with the number `updates install` takes for it.
json UpdateJson(const UpdateFile& file, std::size_t index);

}  // namespace torvane::cli
