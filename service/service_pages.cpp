#include "service/service_pages.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "common/text_codec.h"

namespace torvane {
namespace {

constexpr std::string_view kWebPrefix = "torvane-web://";
constexpr std::string_view kHttpPrefix = "http://";

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// Every name under which a Korean page may mean CP949.
bool MeansCp949(std::string_view charset) {
    constexpr std::array<std::string_view, 8> names = {"euc-kr",      "euckr", "ks_c_5601-1987",
                                                       "ksc5601",     "cp949", "x-windows-949",
                                                       "windows-949", "uhc"};
    return std::find(names.begin(), names.end(), Lower(charset)) != names.end();
}

// Where the value of the first "charset=" in the page's head starts, and its length.
std::pair<size_t, size_t> CharsetValue(std::string_view html) {
    const std::string lower = Lower(html.substr(0, std::min<size_t>(html.size(), 4096)));
    size_t at = lower.find("charset");
    if (at == std::string::npos) return {std::string::npos, 0};
    at = lower.find('=', at);
    if (at == std::string::npos) return {std::string::npos, 0};
    ++at;
    while (at < lower.size() && (lower[at] == '"' || lower[at] == '\'' || lower[at] == ' ')) ++at;
    size_t end = at;
    while (end < lower.size() && (std::isalnum(static_cast<unsigned char>(lower[end])) ||
                                  lower[end] == '-' || lower[end] == '_'))
        ++end;
    return {at, end - at};
}

}  // namespace

std::string WebAddressOfService(std::string_view address, std::string_view serviceBase) {
    while (serviceBase.ends_with('/')) serviceBase.remove_suffix(1);
    const bool onService =
        !serviceBase.empty() && address.starts_with(serviceBase) &&
        (address.size() == serviceBase.size() || address[serviceBase.size()] == '/' ||
         address[serviceBase.size()] == '?');
    if (!onService || !address.starts_with(kHttpPrefix)) return std::string(address);
    return std::string(kWebPrefix) + std::string(address.substr(kHttpPrefix.size()));
}

std::string ServiceAddressOfWeb(std::string_view address) {
    if (!address.starts_with(kWebPrefix)) return std::string(address);
    return std::string(kHttpPrefix) + std::string(address.substr(kWebPrefix.size()));
}

std::string DeclaredCharset(std::string_view html) {
    const auto [at, length] = CharsetValue(html);
    return at == std::string::npos ? std::string() : Lower(html.substr(at, length));
}

ReadablePage ReadableServicePage(std::string_view body, std::string_view charset) {
    const std::string declared = DeclaredCharset(body);
    if (!MeansCp949(charset) && !MeansCp949(declared)) return {std::string(body), false};
    ReadablePage page{Cp949ToUtf8(body), true};
    // The page now says what it is, or the web engine would take it as EUC-KR again.
    if (const auto [at, length] = CharsetValue(page.bytes); at != std::string::npos)
        page.bytes.replace(at, length, "utf-8");
    return page;
}

}  // namespace torvane
