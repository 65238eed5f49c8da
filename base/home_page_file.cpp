#include "base/home_page_file.h"

#include <filesystem>
#include <fstream>

namespace torvane {
namespace {

namespace fs = std::filesystem;

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
        text.replace(at, from.size(), to);
        at += to.size();
    }
}

}  // namespace

std::string FillHomeTemplate(std::string_view pageTemplate, std::string_view version,
                             std::string_view serviceUrl) {
    std::string page(pageTemplate);
    ReplaceAll(page, "{Version}", "Version " + std::string(version));
    std::string host(serviceUrl);
    while (!host.empty() && host.back() == '/') host.pop_back();
    ReplaceAll(page, "{ServiceUrl}", host);
    return page;
}

bool WriteHomePage(const std::string& folder, const std::string& programFolder,
                   std::string_view page) {
    {
        std::ofstream out(fs::path(folder) / kHomePageFileName, std::ios::binary | std::ios::trunc);
        if (!out.is_open()) return false;
        out.write(page.data(), static_cast<std::streamsize>(page.size()));
        if (!out) return false;
    }
    std::error_code error;
    const fs::path copy = fs::path(folder) / kHomePictureFileName;
    if (!fs::exists(copy, error))
        fs::copy_file(fs::path(programFolder) / kHomePictureFileName, copy, error);
    return true;
}

std::string HomeAddress(const std::string& folder) {
    return "file://" + (fs::path(folder) / kHomePageFileName).string();
}

}  // namespace torvane
