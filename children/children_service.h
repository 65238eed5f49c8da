// The account's children as the content service keeps them, and the four requests about them:
// list, add, delete, and ask for a name voice (the recording of the child's name the device plays).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "service/endpoints.h"
#include "service/http_client.h"
#include "service/list_fetch.h"
#include "service/session.h"

namespace torvane {

// Name voice states the service reports.
inline constexpr std::string_view kNameFileExist = "exist";
inline constexpr std::string_view kNameFileRequested = "requested";
inline constexpr std::string_view kNameFileNone = "none";

struct NameFile {
    std::string soundType;
    std::string status;     // "exist", "requested" or "none"
    std::string url;        // where the service serves the voice file
    std::int32_t size = 0;  // in bytes, as listed; 0 when the service did not say
};

// A family registers a few children; a thousand is far past any, and the child page lays out two
// rows per child, so a longer list is refused rather than left to freeze the window.
inline constexpr std::size_t kMaxChildren = 1000;

struct ChildInfo {
    // The service's number for the child, the one a delete, a name voice request and the card's
    // selected child name. 0 when the service wrote something else than a positive 32-bit
    // decimal number: such a child is shown but never acted on, since any number made up for it
    // could name another child.
    std::int32_t childNo = 0;
    bool numberValid = true;
    std::string familyName;  // UTF-8
    std::string firstName;   // UTF-8
    std::string gender;      // "male" is a boy; anything else a girl
    std::string birthday;    // "YYYY-MM-DD"
    std::vector<NameFile> nameFiles;

    bool IsBoy() const { return gender == "male"; }
};

using ChildrenList = ServiceList<ChildInfo>;

// Reads a childrenList answer.
ChildrenList ReadChildrenList(std::string_view answer);

// Fetches the account's children. A failed fetch has no children: a half list would hide who is
// missing.
ChildrenList FetchChildrenList(const ServiceSession& session,
                               const HttpLimits& limits = HttpLimits{});

// The three changes. The service's answer body is not read; the status only says whether the
// request went through (the child name page reloads the list either way).
Status DeleteChild(int childNo, const ServiceSession& session,
                   const HttpLimits& limits = HttpLimits{});
// Names are UTF-8; the birthday is "YYYY-MM-DD".
Status InsertChild(std::string_view familyName, std::string_view givenName, ChildSex sex,
                   std::string_view birthday, const ServiceSession& session,
                   const HttpLimits& limits = HttpLimits{});
Status RequestNameFile(int childNo, const ServiceSession& session,
                       const HttpLimits& limits = HttpLimits{});

}  // namespace torvane
