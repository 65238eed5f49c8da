#include "tools/demo_service/demo_data.h"

#include <fstream>
#include <nlohmann/json.hpp>

namespace torvane::demo {
namespace {

using nlohmann::json;

json ReadJson(const std::filesystem::path& path) {
    std::ifstream in(path);
    if (!in) {
        throw std::runtime_error("cannot open " + path.string());
    }
    try {
        return json::parse(in);
    } catch (const json::exception& e) {
        throw std::runtime_error(path.string() + ": " + e.what());
    }
}

std::array<int, 3> Rgb(const json& j) {
    return {j.at(0).get<int>(), j.at(1).get<int>(), j.at(2).get<int>()};
}

void ReadAccounts(const json& root, DemoData& data) {
    data.soundType = root.at("soundType").get<std::string>();
    for (const json& a : root.at("accounts")) {
        DemoAccount account;
        account.id = a.at("id").get<std::string>();
        account.password = a.at("password").get<std::string>();
        account.name = a.at("name").get<std::string>();
        account.contentNos = a.at("contents").get<std::vector<std::string>>();
        for (const json& c : a.at("children")) {
            account.children.push_back(
                {c.at("childNo").get<int>(), c.at("familyName").get<std::string>(),
                 c.at("firstName").get<std::string>(), c.at("gender").get<std::string>(),
                 c.at("birthday").get<std::string>(), c.at("voice").get<std::string>()});
        }
        data.accounts.push_back(std::move(account));
    }
}

void ReadContents(const json& root, DemoData& data) {
    for (const json& c : root.at("contents")) {
        DemoContent content;
        content.contentNo = c.at("contentNo").get<std::string>();
        content.title = c.at("name").get<std::string>();
        content.downloadType = c.at("downloadType").get<std::string>();
        content.mainGroup = c.at("mainGroup").get<std::string>();
        content.subGroup = c.at("subGroup").get<std::string>();
        content.endDate = c.at("endDate").get<std::string>();
        content.defaultYN = c.at("defaultYN").get<std::string>();
        content.downCount = c.at("downCount").get<int>();
        content.endCount = c.at("endCount").get<int>();
        for (const json& f : c.at("files")) {
            content.files.push_back(
                {f.at("name").get<std::string>(), f.at("language").get<std::string>(),
                 f.at("folderType").get<std::string>(), f.at("toneHz").get<int>()});
        }
        data.contents.push_back(std::move(content));
    }
}

void ReadBanners(const json& root, DemoData& data) {
    for (const json& b : root.at("banners")) {
        data.banners.push_back({b.at("file").get<std::string>(), b.at("link").get<std::string>(),
                                Rgb(b.at("colour")), Rgb(b.at("stripe"))});
    }
}

void ReadPackages(const json& root, DemoData& data) {
    for (const json& p : root.at("packages")) {
        DemoPackage package;
        package.kind = p.at("kind").get<std::string>();
        package.version = p.at("version").get<std::string>();
        package.name = p.at("name").get<std::string>();
        package.description = p.at("description").get<std::string>();
        package.registeredDate = p.at("registeredDate").get<std::string>();
        package.selected = p.at("selected").get<std::string>();
        package.firmwareVersion = p.at("firmwareVersion").get<std::string>();
        package.systemVersion = p.at("systemVersion").get<std::string>();
        if (package.kind != "update" && package.kind != "reset") {
            throw std::runtime_error("package " + package.name + ": unknown kind " + package.kind);
        }
        data.packages.push_back(std::move(package));
    }
}

void ReadPages(const json& root, DemoData& data) {
    for (const json& p : root.at("pages")) {
        data.pages.push_back({p.at("path").get<std::string>(), p.at("title").get<std::string>(),
                              p.at("body").get<std::string>()});
    }
}

}  // namespace

const DemoContent* DemoData::FindContent(std::string_view contentNo) const {
    for (const DemoContent& content : contents) {
        if (content.contentNo == contentNo) {
            return &content;
        }
    }
    return nullptr;
}

const DemoPage* DemoData::FindPage(std::string_view path) const {
    for (const DemoPage& page : pages) {
        if (page.path == path) {
            return &page;
        }
    }
    return nullptr;
}

bool LoadDemoData(const std::filesystem::path& dir, DemoData& data, std::string& error) {
    data = {};
    try {
        ReadAccounts(ReadJson(dir / "accounts.json"), data);
        ReadContents(ReadJson(dir / "contents.json"), data);
        ReadBanners(ReadJson(dir / "banners.json"), data);
        ReadPackages(ReadJson(dir / "updates.json"), data);
        ReadPages(ReadJson(dir / "pages.json"), data);
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    for (const DemoAccount& account : data.accounts) {
        for (const std::string& contentNo : account.contentNos) {
            if (data.FindContent(contentNo) == nullptr) {
                error = "account " + account.id + " names unknown content " + contentNo;
                return false;
            }
        }
    }
    return true;
}

}  // namespace torvane::demo
