// The texts the service answers with, in the shapes the desktop program reads: the sign-in page
// (HTML in CP949, read by plain text search), XML lists in UTF-8, and shop pages in CP949.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "store/content_record.h"

namespace torvane::demo {

// One form field of the sign-in page; both texts are CP949 bytes.
struct FormField {
    std::string name;
    std::string value;
};

// The sign-in page: a form "pcForm" whose hidden input fields carry `fields`, and a script that
// sets document.pcForm.action to `action`. CP949.
std::string SignInPage(const std::vector<FormField>& fields, std::string_view action);

// userInfo with one child element per pair (UTF-8 values).
std::string UserInfoXml(const std::vector<std::pair<std::string, std::string>>& info);

// contentsList: one content per record (UTF-8 text); `status` carries the default flag and
// `date` the end date.
std::string ContentsListXml(const std::vector<ContentRecord>& contents);

struct ChildAnswer {
    int childNo = 0;
    std::string familyName;  // UTF-8
    std::string firstName;   // UTF-8
    std::string gender;
    std::string birthday;
    std::string soundType;
    std::string voiceStatus;  // "none", "requested", "exist"
    std::string voiceUrl;     // empty unless the voice exists
    long voiceSize = 0;
};
std::string ChildrenListXml(const std::vector<ChildAnswer>& children);

// The answer to a child insert, delete or name voice request: code 0 when done.
std::string CommandResultXml(int code, std::string_view message, int childNo = 0);

struct BannerAnswer {
    std::string fileUrl;
    std::string linkUrl;
};
std::string BannerListXml(const std::vector<BannerAnswer>& banners);

struct UpdateAnswer {
    std::string version;
    std::string name;
    std::string description;  // UTF-8
    std::string registeredDate;
    std::string fileUrl;
    long fileSize = 0;
    std::string selected;
};
std::string SystemUpdateFilesXml(const std::vector<UpdateAnswer>& packages);

// A simple shop or notice page, CP949, from a title and a body written in UTF-8.
std::string HtmlPage(std::string_view title, std::string_view bodyUtf8);

}  // namespace torvane::demo
