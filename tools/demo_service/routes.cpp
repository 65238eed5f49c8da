#include "tools/demo_service/routes.h"

#include <charconv>
#include <random>

#include "common/text_codec.h"
#include "tools/demo_service/answers.h"
#include "tools/demo_service/media.h"

namespace torvane::demo {
namespace {

constexpr std::string_view kXmlType = "text/xml; charset=utf-8";
constexpr std::string_view kHtmlType = "text/html; charset=euc-kr";
constexpr std::string_view kFormAction = "pc_loginProc.asp";

Answer Forbidden() {
    return TextAnswer(403, "text/plain", "Forbidden: sign in first\n");
}

}  // namespace

Answer TextAnswer(int status, std::string_view type, std::string text) {
    return {status, std::string(type), std::make_shared<StringBody>(std::move(text))};
}

Answer NotFoundAnswer() {
    return TextAnswer(404, "text/plain", "Not Found\n");
}

std::string ParamOf(const RequestView& request, const std::string& key) {
    auto it = request.params.find(key);
    return it == request.params.end() ? std::string() : it->second;
}

std::optional<long long> ParseDecimal(std::string_view text) {
    long long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

ServiceRoutes::ServiceRoutes(const DemoData& data, ServiceState& state,
                             const DemoSettings& settings)
    : data_(data), state_(state), settings_(settings) {}

Answer ServiceRoutes::Handle(const RequestView& request) {
    const std::string& path = request.path;
    if (path == "/torvane/pc_login.asp") {
        return SignInPage(request);
    }
    if (path == std::string("/torvane/") + std::string(kFormAction)) {
        return request.method == "POST" ? SignInForm(request)
                                        : TextAnswer(405, "text/plain", "POST the sign-in form\n");
    }
    if (path == "/torvane/pc_bannerList.asp") {
        return BannerList();
    }
    if (path == "/torvane/pc_systemUpdateFiles.asp") {
        if (settings_.checkCookie && !state_.SignedInUser(request.session)) {
            return Forbidden();
        }
        return SystemUpdateFiles();
    }
    using Handler = Answer (ServiceRoutes::*)(const RequestView&, const DemoAccount&);
    static const std::map<std::string_view, std::pair<Handler, bool>> kAccountRequests = {
        {"/torvane/pc_contentsList.asp", {&ServiceRoutes::ContentsList, true}},
        {"/torvane/pc_childrenList.asp", {&ServiceRoutes::ChildrenList, true}},
        {"/torvane/pc_childrenDelete.asp", {&ServiceRoutes::ChildDelete, false}},
        {"/torvane/pc_childrenInsert.asp", {&ServiceRoutes::ChildInsert, false}},
        {"/torvane/pc_childrenRequest.asp", {&ServiceRoutes::ChildRequest, false}},
    };
    if (auto it = kAccountRequests.find(path); it != kAccountRequests.end()) {
        const auto [handler, checkPassword] = it->second;
        const DemoAccount* account = AuthorisedAccount(request, checkPassword);
        return account != nullptr ? (this->*handler)(request, *account) : Forbidden();
    }
    if (path.starts_with("/torvane/files/")) {
        return ContentFile(request);
    }
    if (path.starts_with("/torvane/voice/")) {
        return VoiceFile(request);
    }
    if (path.starts_with("/torvane/bench/")) {
        return BenchFile(request);
    }
    if (path.starts_with("/torvane/banner/") || path.starts_with("/torvane/thumb/")) {
        return Picture(request);
    }
    if (path.starts_with("/torvane/system/")) {
        return Package(request);
    }
    if (const DemoPage* page = data_.FindPage(path)) {
        return TextAnswer(200, kHtmlType, HtmlPage(page->title, page->body));
    }
    return NotFoundAnswer();
}

const DemoAccount* ServiceRoutes::FindAccount(std::string_view id) const {
    for (const DemoAccount& account : data_.accounts) {
        if (account.id == id) {
            return &account;
        }
    }
    return nullptr;
}

const DemoAccount* ServiceRoutes::AuthorisedAccount(const RequestView& request,
                                                    bool checkPassword) const {
    const std::string id = Cp949ToUtf8(ParamOf(request, "userID"));
    if (settings_.checkCookie) {
        const auto user = state_.SignedInUser(request.session);
        if (!user || *user != id) {
            return nullptr;
        }
    }
    const DemoAccount* account = FindAccount(id);
    if (account == nullptr ||
        (checkPassword && Cp949ToUtf8(ParamOf(request, "cookie")) != account->password)) {
        return nullptr;
    }
    return account;
}

Answer ServiceRoutes::SignInPage(const RequestView& request) {
    // Values travel as CP949 bytes, percent-decoded.
    const std::string id = ParamOf(request, "userID");
    const DemoAccount* account = FindAccount(Cp949ToUtf8(id));
    std::vector<FormField> fields;
    if (account == nullptr) {
        fields = {{"userLogin", "false"}, {"loginResult", "2"}, {"userID", id}};
    } else if (Cp949ToUtf8(ParamOf(request, "userPW")) != account->password) {
        fields = {{"userLogin", "false"}, {"loginResult", "1"}, {"userID", id}};
    } else {
        // The form must come back whole, values percent-encoded byte by byte: the Korean name
        // and the blank and ampersand of the service name show whether they were.
        fields = {{"userLogin", "true"},
                  {"loginResult", "0"},
                  {"userID", id},
                  {"userName", Utf8ToCp949(account->name)},
                  {"serviceName", Utf8ToCp949("토베인 뮤직 & 북")},
                  {"loginKey", std::to_string(std::random_device{}())}};
        state_.OfferSignIn(request.session, account->id, fields);
    }
    return TextAnswer(200, kHtmlType, demo::SignInPage(fields, kFormAction));
}

Answer ServiceRoutes::SignInForm(const RequestView& request) {
    std::map<std::string, std::string> posted(request.params.begin(), request.params.end());
    const auto user = state_.CompleteSignIn(request.session, posted);
    const DemoAccount* account = user ? FindAccount(*user) : nullptr;
    if (account == nullptr) {
        return Forbidden();
    }
    return TextAnswer(
        200, kXmlType,
        UserInfoXml({{"userID", account->id},
                     {"userName", account->name},
                     {"contentCount", std::to_string(account->contentNos.size())},
                     {"childCount", std::to_string(state_.Children(account->id).size())}}));
}

std::vector<ContentRecord> ServiceRoutes::Catalogue(const DemoAccount& account) const {
    std::vector<ContentRecord> records;
    for (const std::string& contentNo : account.contentNos) {
        const DemoContent& c = *data_.FindContent(contentNo);
        ContentRecord record{
            c.contentNo, c.title,    c.downloadType,
            c.mainGroup, c.subGroup, baseUrl_ + "/torvane/thumb/" + c.contentNo + ".bmp",
            c.downCount, c.endCount, c.endDate,
            c.defaultYN, {}};
        for (std::size_t i = 0; i < c.files.size(); ++i) {
            const DemoFile& f = c.files[i];
            const std::string url = baseUrl_ + "/torvane/files/" + c.contentNo + "/" + f.name +
                                    "?contentNo=" + c.contentNo +
                                    "&fileNo=" + std::to_string(i + 1);
            record.files.push_back(
                {f.name, c.contentNo + "_" + f.name, f.name.substr(0, f.name.find('.')), f.language,
                 url, static_cast<std::int32_t>(files_.at(c.contentNo + "/" + f.name)->Size()),
                 f.folderType});
        }
        records.push_back(std::move(record));
    }
    if (settings_.bigFileMiB > 0 && !data_.accounts.empty() && &account == &data_.accounts[0]) {
        const std::string mib = std::to_string(settings_.bigFileMiB);
        ContentRecord big{"E9000",  "대용량 시험 컨텐츠 (" + mib + " MiB)",
                          "1",      "excellent",
                          "single", "",
                          0,        10,
                          "",       "N",
                          {}};
        big.files.push_back(
            {"00009000.mp3", "E9000_00009000.mp3", "00009000", "ko",
             baseUrl_ + "/torvane/bench/00009000.mp3?mib=" + mib + "&contentNo=E9000",
             static_cast<std::int32_t>(settings_.bigFileMiB * kMiB), "special"});
        records.push_back(std::move(big));
    }
    return records;
}

Answer ServiceRoutes::ContentsList(const RequestView&, const DemoAccount& account) {
    return TextAnswer(200, kXmlType, ContentsListXml(Catalogue(account)));
}

std::string ServiceRoutes::VoiceWav(int childNo) const {
    return MakeToneWav(330 + 40 * (childNo % 10), 600);
}

Answer ServiceRoutes::ChildrenList(const RequestView&, const DemoAccount& account) {
    std::vector<ChildAnswer> answers;
    for (const DemoChild& child : state_.Children(account.id)) {
        ChildAnswer answer{child.childNo,
                           child.familyName,
                           child.firstName,
                           child.gender,
                           child.birthday,
                           data_.soundType,
                           child.voice,
                           "",
                           0};
        if (child.voice == "exist") {
            // No query: the program percent-encodes this address before fetching it.
            answer.voiceUrl = baseUrl_ + "/torvane/voice/" + account.id + "/" +
                              std::to_string(child.childNo) + ".mp3";
            answer.voiceSize = static_cast<long>(VoiceWav(child.childNo).size());
        }
        answers.push_back(std::move(answer));
    }
    for (int i = 1; i <= settings_.extraChildren; ++i)
        answers.push_back({900000 + i, "한", "아이" + std::to_string(i), "female", "2020-01-01",
                           data_.soundType, "none", "", 0});
    return TextAnswer(200, kXmlType, ChildrenListXml(answers));
}

Answer ServiceRoutes::ChildDelete(const RequestView& request, const DemoAccount& account) {
    const auto childNo = ParseDecimal(ParamOf(request, "childNo"));
    if (!childNo || !state_.DeleteChild(account.id, static_cast<int>(*childNo))) {
        return TextAnswer(200, kXmlType, CommandResultXml(1, "no such child"));
    }
    return TextAnswer(200, kXmlType, CommandResultXml(0, "deleted", static_cast<int>(*childNo)));
}

Answer ServiceRoutes::ChildInsert(const RequestView& request, const DemoAccount& account) {
    DemoChild child;
    child.familyName = Cp949ToUtf8(ParamOf(request, "mc_name1"));
    child.firstName = Cp949ToUtf8(ParamOf(request, "mc_name2"));
    const std::string sex = ParamOf(request, "mc_sex");
    child.gender = sex == "1" ? "male" : "female";
    child.birthday = ParamOf(request, "mc_birthday");
    if (child.familyName.empty() || child.firstName.empty() || (sex != "1" && sex != "2") ||
        child.birthday.empty()) {
        return TextAnswer(200, kXmlType, CommandResultXml(1, "incomplete child"));
    }
    const int childNo = state_.AddChild(account.id, std::move(child));
    return TextAnswer(200, kXmlType, CommandResultXml(0, "inserted", childNo));
}

Answer ServiceRoutes::ChildRequest(const RequestView& request, const DemoAccount& account) {
    const auto childNo = ParseDecimal(ParamOf(request, "childNo"));
    if (!childNo || !state_.RequestVoice(account.id, static_cast<int>(*childNo))) {
        return TextAnswer(200, kXmlType, CommandResultXml(1, "no such child"));
    }
    return TextAnswer(200, kXmlType, CommandResultXml(0, "requested", static_cast<int>(*childNo)));
}

Answer ServiceRoutes::BannerList() {
    std::vector<BannerAnswer> banners;
    for (const DemoBanner& banner : data_.banners) {
        banners.push_back({baseUrl_ + "/torvane/banner/" + banner.file, baseUrl_ + banner.link});
    }
    return TextAnswer(200, kXmlType, BannerListXml(banners));
}

Answer ServiceRoutes::SystemUpdateFiles() {
    std::vector<UpdateAnswer> answers;
    auto add = [&](const DemoPackage& p) {
        answers.push_back({p.version, p.name, p.description, p.registeredDate,
                           baseUrl_ + "/torvane/system/" + p.name,
                           static_cast<long>(packages_.at(p.name)->Size()), p.selected});
    };
    for (const DemoPackage& package : data_.packages) {
        add(package);
    }
    if (settings_.bigPackageMiB > 0) {
        add(benchPackage_);
    }
    return TextAnswer(200, kXmlType, SystemUpdateFilesXml(answers));
}

}  // namespace torvane::demo
