// The account's children as the content service keeps them, and the four requests about them:
// list, add, delete, and ask for a name voice (the recording of the child's name the device plays).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "service/endpoints.h"
#include "service/http_client.h"
#include "service/session.h"

namespace torvane {

// Name voice states the service reports.
inline constexpr std::string_view kNameFileExist = "exist";
inline constexpr std::string_view kNameFileRequested = "requested";
inline constexpr std::string_view kNameFileNone = "none";

struct NameFile {
    std::string soundType;
    std::string status;  // "exist", "requested" or "none"
    std::string url;     // where the service serves the voice file
    std::int32_t size = 0;
};

struct ChildInfo {
    std::int32_t childNo = 0;
    std::string familyName;  // UTF-8
    std::string firstName;   // UTF-8
    std::string gender;      // "male" is a boy; anything else a girl
    std::string birthday;    // "YYYY-MM-DD"
    std::vector<NameFile> nameFiles;

    bool IsBoy() const { return gender == "male"; }
};

struct ChildrenList {
    std::vector<ChildInfo> children;  // in the answer's order
    std::string errorText;            // empty after a good fetch
};

// Reads a childrenList answer into the list (appending). False with the parser's message.
bool ReadChildrenList(std::string_view answer, ChildrenList& list);

// Clears the list and fetches the account's children. False with the reason in errorText and no
// children.
bool FetchChildrenList(ChildrenList& list, const ServiceSession& session = Session(),
                       const HttpLimits& limits = HttpLimits{});

// The three changes. The service's answer body is not read; the result and `error` only say
// whether the request went through (the child name page reloads the list either way).
bool DeleteChild(int childNo, std::string* error = nullptr,
                 const ServiceSession& session = Session(),
                 const HttpLimits& limits = HttpLimits{});
// Names are UTF-8; the birthday is "YYYY-MM-DD".
bool InsertChild(std::string_view familyName, std::string_view givenName, ChildSex sex,
                 std::string_view birthday, std::string* error = nullptr,
                 const ServiceSession& session = Session(),
                 const HttpLimits& limits = HttpLimits{});
bool RequestNameFile(int childNo, std::string* error = nullptr,
                     const ServiceSession& session = Session(),
                     const HttpLimits& limits = HttpLimits{});

}  // namespace torvane
