// The service's web pages as the web view gets them. The service labels its pages "euc-kr" and
// sends CP949, as Korean services commonly do: the syllables outside EUC-KR (똠, 뷁, 펲) would
// show as boxes in a web engine that takes the label strictly. The app fetches such pages itself
// under an address scheme of its own and hands the web view UTF-8 that says so.
#pragma once

#include <string>
#include <string_view>

namespace torvane {

// The scheme under which the web view asks the app for the service's pages.
inline constexpr std::string_view kServicePageScheme = "torvane-web";

// An address on the service at `serviceBase` ("http://host:port/path?query") as the web view
// asks for it ("torvane-web://host:port/path?query"), and back; any other address (another site,
// a file) is given back unchanged.
std::string WebAddressOfService(std::string_view address, std::string_view serviceBase);
std::string ServiceAddressOfWeb(std::string_view address);

// The charset a page's own meta element names, lower-cased; empty when none.
std::string DeclaredCharset(std::string_view html);

// A page as the web view should read it: a page labelled as EUC-KR (or as one of CP949's other
// names) converted from CP949 to UTF-8 and labelled "utf-8"; any other page unchanged. `charset`
// is the answer's Content-Type charset when the service sent one.
struct ReadablePage {
    std::string bytes;
    bool converted = false;
};
ReadablePage ReadableServicePage(std::string_view body, std::string_view charset);

}  // namespace torvane
