// What the service answers to each path, apart from how the answer travels (faults and framing
// belong to the server in demo_service.cpp).
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "tools/demo_service/body_source.h"
#include "tools/demo_service/demo_data.h"
#include "tools/demo_service/demo_service.h"
#include "tools/demo_service/service_state.h"

namespace torvane::demo {

struct Answer {
    int status = 200;
    std::string contentType = "text/plain";
    std::shared_ptr<const BodySource> body;
};

struct RequestView {
    std::string method;
    std::string path;                                // decoded path without the query
    std::multimap<std::string, std::string> params;  // query (and form) values, decoded bytes
    std::string session;  // token of the request's session (new when it brought none)
};

inline constexpr std::uint64_t kMiB = 1 << 20;

// Small pieces shared by the route files.
Answer TextAnswer(int status, std::string_view type, std::string text);
Answer NotFoundAnswer();
// The first value of a query or form key; empty when absent.
std::string ParamOf(const RequestView& request, const std::string& key);
// A whole decimal number, or nothing.
std::optional<long long> ParseDecimal(std::string_view text);

class ServiceRoutes {
  public:
    ServiceRoutes(const DemoData& data, ServiceState& state, const DemoSettings& settings);

    // Makes the sounds, pictures and packages. `workDir` is the service's private folder.
    bool Prepare(const std::filesystem::path& workDir, std::string& error);
    // Addresses in answers start with this ("http://127.0.0.1:PORT").
    void SetBaseUrl(std::string baseUrl) { baseUrl_ = std::move(baseUrl); }

    Answer Handle(const RequestView& request);

  private:
    Answer SignInPage(const RequestView& request);
    Answer SignInForm(const RequestView& request);
    Answer ContentsList(const RequestView& request, const DemoAccount& account);
    Answer ChildrenList(const RequestView& request, const DemoAccount& account);
    Answer ChildDelete(const RequestView& request, const DemoAccount& account);
    Answer ChildInsert(const RequestView& request, const DemoAccount& account);
    Answer ChildRequest(const RequestView& request, const DemoAccount& account);
    Answer BannerList();
    Answer SystemUpdateFiles();
    Answer ContentFile(const RequestView& request);
    Answer VoiceFile(const RequestView& request);
    Answer BenchFile(const RequestView& request);
    Answer Picture(const RequestView& request);
    Answer Package(const RequestView& request);

    // The account a list or command request may use: the session's user, which must be the
    // request's userID; with `checkPassword`, the cookie parameter must be its password.
    const DemoAccount* AuthorisedAccount(const RequestView& request, bool checkPassword) const;
    const DemoAccount* FindAccount(std::string_view id) const;
    std::vector<ContentRecord> Catalogue(const DemoAccount& account) const;
    std::string VoiceWav(int childNo) const;

    const DemoData& data_;
    ServiceState& state_;
    DemoSettings settings_;
    std::string baseUrl_;
    std::map<std::string, std::shared_ptr<const StringBody>> files_;     // "L0001/00000001.mp3"
    std::map<std::string, std::shared_ptr<const StringBody>> pictures_;  // banner file names
    std::map<std::string, std::shared_ptr<const FileBody>> packages_;    // by file name
    DemoPackage benchPackage_;
};

}  // namespace torvane::demo
