#include "service/endpoints.h"

#include "service/http_client.h"

namespace torvane {
namespace {

std::string Join(std::string_view base, std::string_view pathAndQuery) {
    std::string url(base);
    url += pathAndQuery;
    return url;
}

}  // namespace

// Every value from the user goes through UrlEncodeText: an identifier or password holding '&',
// '#' or a blank would otherwise cut the query short, and plain letters and digits come out as
// they went in.

std::string LoginPageUrl(std::string_view base, std::string_view userId,
                         std::string_view password) {
    return Join(base, std::string(kLoginPagePath) + "?userID=" + UrlEncodeText(userId) +
                          "&userPW=" + UrlEncodeText(password) + "&cookie=cookie");
}

std::string LoginActionUrl(std::string_view base, std::string_view action) {
    return Join(base, "/torvane/" + std::string(action));
}

std::string ContentsListUrl(std::string_view base, std::string_view userId,
                            std::string_view password) {
    return Join(base, std::string(kContentsListPath) + "?userID=" + UrlEncodeText(userId) +
                          "&soundType=larkspin&cookie=" + UrlEncodeText(password));
}

std::string ChildrenListUrl(std::string_view base, std::string_view userId,
                            std::string_view password) {
    return Join(base, std::string(kChildrenListPath) + "?userID=" + UrlEncodeText(userId) +
                          "&cookie=" + UrlEncodeText(password));
}

std::string ChildrenDeleteUrl(std::string_view base, std::string_view userId, int childNo) {
    return Join(base, std::string(kChildrenDeletePath) + "?userID=" + UrlEncodeText(userId) +
                          "&childNo=" + std::to_string(childNo) + "&cookie=cookie");
}

std::string ChildrenInsertUrl(std::string_view base, std::string_view userId,
                              std::string_view familyName, std::string_view givenName, ChildSex sex,
                              std::string_view birthday) {
    return Join(base, std::string(kChildrenInsertPath) + "?userID=" + UrlEncodeText(userId) +
                          "&mc_name1=" + UrlEncodeText(familyName) +
                          "&mc_name2=" + UrlEncodeText(givenName) +
                          "&mc_sex=" + std::to_string(static_cast<int>(sex)) +
                          "&mc_birthday=" + UrlEncodeText(birthday) + "&cookie=cookie");
}

std::string ChildrenRequestUrl(std::string_view base, std::string_view userId, int childNo) {
    return Join(base, std::string(kChildrenRequestPath) + "?userID=" + UrlEncodeText(userId) +
                          "&childNo=" + std::to_string(childNo) + "&cookie=cookie");
}

std::string BannerListUrl(std::string_view base) {
    return Join(base, kBannerListPath);
}

std::string SystemUpdateFilesUrl(std::string_view base) {
    return Join(base, kSystemUpdateFilesPath);
}

std::string FindAccountPageUrl(std::string_view base) {
    return Join(base, kFindAccountPagePath);
}

std::string JoinPageUrl(std::string_view base) {
    return Join(base, kJoinPagePath);
}

}  // namespace torvane
