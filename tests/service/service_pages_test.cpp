// The service's pages as the web view reads them: EUC-KR labels read as CP949 and relabelled,
// other pages untouched, and only the service's own addresses taken through the app.
#include "service/service_pages.h"

#include <gtest/gtest.h>

#include "common/text_codec.h"

namespace torvane {
namespace {

TEST(ServicePages, PagesLabelledEucKrAreReadAsCp949) {
    // 똠, 뷁 and 펲 lie outside EUC-KR; CP949 holds them.
    const std::string text = "<p>똠방각하, 뷁뷁 오리, 펲펲 물방울</p>";
    const struct {
        std::string head;     // as the service sends it, in CP949
        std::string charset;  // the answer's Content-Type charset
        bool converted;
    } cases[] = {
        {"<meta charset=\"euc-kr\">", "", true},
        {"<META http-equiv=\"Content-Type\" content=\"text/html; charset=EUC-KR\">", "", true},
        {"<meta charset='ks_c_5601-1987'>", "", true},
        {"<title>x</title>", "euc-kr", true},
        {"<meta charset=\"utf-8\">", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.head);
        const std::string body = c.converted ? Utf8ToCp949(c.head + text) : c.head + text;
        const ReadablePage page = ReadableServicePage(body, c.charset);
        EXPECT_EQ(page.converted, c.converted);
        EXPECT_NE(page.bytes.find(text), std::string::npos);
        if (c.converted && !DeclaredCharset(c.head).empty()) {
            EXPECT_EQ(DeclaredCharset(page.bytes), "utf-8");
        }
    }
}

TEST(ServicePages, OnlyTheServicesAddressesGoThroughTheApp) {
    const std::string base = "http://127.0.0.1:8080";
    const struct {
        std::string address;
        std::string web;
    } cases[] = {
        {base + "/torvane/html_notice_list.asp?userID=x",
         "torvane-web://127.0.0.1:8080/torvane/html_notice_list.asp?userID=x"},
        {base, "torvane-web://127.0.0.1:8080"},
        {"http://127.0.0.1:80801/other", "http://127.0.0.1:80801/other"},  // not the service
        {"https://example.org/", "https://example.org/"},
        {"file:///tmp/home.html", "file:///tmp/home.html"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WebAddressOfService(c.address, base + "/"), c.web);
        if (c.web.starts_with("torvane-web:")) {
            EXPECT_EQ(ServiceAddressOfWeb(c.web), c.address);
        }
    }
}

}  // namespace
}  // namespace torvane
