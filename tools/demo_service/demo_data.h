// The demo service's fixed data: accounts, the contents they bought, their children, banners,
// update packages and shop pages. Kept as small JSON files in the source tree (UTF-8), read once
// at start.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

namespace torvane::demo {

struct DemoFile {
    std::string name;        // as the catalogue lists it, e.g. "00000002.MP3"
    std::string language;    // "ko", "en"
    std::string folderType;  // sub-folder below the language folder
    int toneHz = 440;        // pitch of the generated sound
};

struct DemoContent {
    std::string contentNo;
    std::string title;
    std::string downloadType;
    std::string mainGroup;
    std::string subGroup;
    std::string endDate;
    std::string defaultYN;
    int downCount = 0;
    int endCount = 0;
    std::vector<DemoFile> files;
};

struct DemoChild {
    int childNo = 0;
    std::string familyName;
    std::string firstName;
    std::string gender;    // "male" or "female"
    std::string birthday;  // YYYY-MM-DD
    std::string voice;     // "none", "requested" or "exist"
};

struct DemoAccount {
    std::string id;
    std::string password;
    std::string name;
    std::vector<std::string> contentNos;
    std::vector<DemoChild> children;
};

struct DemoBanner {
    std::string file;  // file name of the picture, served below /torvane/banner/
    std::string link;  // path and query of the page it advertises
    std::array<int, 3> colour{};
    std::array<int, 3> stripe{};
};

struct DemoPackage {
    std::string kind;  // "update" keeps the card's database, "reset" wipes the card first
    std::string version;
    std::string name;  // file name, served below /torvane/system/
    std::string description;
    std::string registeredDate;
    std::string selected;
    std::string firmwareVersion;  // written to the fresh card's info.dat
    std::string systemVersion;    // written into the fresh card's Default.dat
};

struct DemoPage {
    std::string path;
    std::string title;
    std::string body;  // HTML, UTF-8
};

struct DemoData {
    std::string soundType;
    std::vector<DemoAccount> accounts;
    std::vector<DemoContent> contents;
    std::vector<DemoBanner> banners;
    std::vector<DemoPackage> packages;
    std::vector<DemoPage> pages;

    const DemoContent* FindContent(std::string_view contentNo) const;
    const DemoPage* FindPage(std::string_view path) const;
};

// Reads accounts.json, contents.json, banners.json, updates.json and pages.json from `dir`.
// False with the reason in `error` when a file is missing or malformed, or when an account names
// a content that does not exist.
bool LoadDemoData(const std::filesystem::path& dir, DemoData& data, std::string& error);

}  // namespace torvane::demo
