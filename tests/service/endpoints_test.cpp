// Request addresses and the configured service address.
#include "service/endpoints.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "service/session.h"

namespace torvane {
namespace {

constexpr std::string_view kBase = "http://svc.example";

TEST(EndpointsTest, AddressesCarryTheirValuesInTemplateOrder) {
    struct Case {
        std::string url;
        std::string expected;
    };
    const Case cases[] = {
        {LoginPageUrl(kBase, "mom", "p w&1"),
         "http://svc.example/torvane/pc_login.asp?userID=mom&userPW=p%20w%261&cookie=cookie"},
        {ContentsListUrl(kBase, "mom", "secret"),
         "http://svc.example/torvane/pc_contentsList.asp?userID=mom&soundType=larkspin"
         "&cookie=secret"},
        {ChildrenListUrl(kBase, "mom", "secret"),
         "http://svc.example/torvane/pc_childrenList.asp?userID=mom&cookie=secret"},
        {ChildrenDeleteUrl(kBase, "mom", 7),
         "http://svc.example/torvane/pc_childrenDelete.asp?userID=mom&childNo=7&cookie=cookie"},
        {ChildrenRequestUrl(kBase, "mom", 12),
         "http://svc.example/torvane/pc_childrenRequest.asp?userID=mom&childNo=12&cookie=cookie"},
        {ChildrenInsertUrl(kBase, "mom", "김", "가 나", ChildSex::Girl, "2019-03-07"),
         "http://svc.example/torvane/pc_childrenInsert.asp?userID=mom&mc_name1=%b1%e8"
         "&mc_name2=%b0%a1%20%b3%aa&mc_sex=2&mc_birthday=2019-03-07&cookie=cookie"},
        {ChildrenInsertUrl(kBase, "mom", "똠", "쓔햏", ChildSex::Boy, "2015-05-05"),
         "http://svc.example/torvane/pc_childrenInsert.asp?userID=mom&mc_name1=%8c%63"
         "&mc_name2=%9d%6f%c1%64&mc_sex=1&mc_birthday=2015-05-05&cookie=cookie"},
        {ChildrenInsertUrl(kBase, "mom", "Lee", "Jun", ChildSex::Boy, "2020-12-01"),
         "http://svc.example/torvane/pc_childrenInsert.asp?userID=mom&mc_name1=Lee&mc_name2=Jun"
         "&mc_sex=1&mc_birthday=2020-12-01&cookie=cookie"},
        {LoginActionUrl(kBase, "pc_loginOk.asp"), "http://svc.example/torvane/pc_loginOk.asp"},
        {BannerListUrl(kBase), "http://svc.example/torvane/pc_bannerList.asp"},
        {SystemUpdateFilesUrl(kBase), "http://svc.example/torvane/pc_systemUpdateFiles.asp"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.url, c.expected);
}

TEST(EndpointsTest, PasswordInAListAddressCannotCutTheQuery) {
    EXPECT_EQ(ContentsListUrl(kBase, "mom", "a&b#c"),
              "http://svc.example/torvane/pc_contentsList.asp?userID=mom&soundType=larkspin"
              "&cookie=a%26b%23c");
}

TEST(ServiceUrlTest, CommandLineBeatsEnvironmentBeatsSetting) {
    ::unsetenv("TORVANE_SERVICE_URL");
    EXPECT_EQ(ResolveServiceUrl("", ""), kDefaultServiceUrl);
    EXPECT_EQ(ResolveServiceUrl("", "http://saved:81/"), "http://saved:81");
    ::setenv("TORVANE_SERVICE_URL", "http://env:82", 1);
    EXPECT_EQ(ResolveServiceUrl("", "http://saved:81"), "http://env:82");
    EXPECT_EQ(ResolveServiceUrl("http://cli:83//", "http://saved:81"), "http://cli:83");
    ::unsetenv("TORVANE_SERVICE_URL");
}

}  // namespace
}  // namespace torvane
