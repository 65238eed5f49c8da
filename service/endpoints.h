// The addresses of the content service's requests, all below "/torvane/" on the service's host.
// Values typed by the user (identifier, password, names) are sent as CP949, percent-encoded.
#pragma once

#include <string>
#include <string_view>

namespace torvane {

inline constexpr std::string_view kLoginPagePath = "/torvane/pc_login.asp";
inline constexpr std::string_view kContentsListPath = "/torvane/pc_contentsList.asp";
inline constexpr std::string_view kChildrenListPath = "/torvane/pc_childrenList.asp";
inline constexpr std::string_view kChildrenDeletePath = "/torvane/pc_childrenDelete.asp";
inline constexpr std::string_view kChildrenInsertPath = "/torvane/pc_childrenInsert.asp";
inline constexpr std::string_view kChildrenRequestPath = "/torvane/pc_childrenRequest.asp";
inline constexpr std::string_view kBannerListPath = "/torvane/pc_bannerList.asp";
inline constexpr std::string_view kSystemUpdateFilesPath = "/torvane/pc_systemUpdateFiles.asp";
// Member pages, only ever opened in the user's web browser.
inline constexpr std::string_view kFindAccountPagePath = "/ui/member_03.asp";
inline constexpr std::string_view kJoinPagePath = "/ui/member_02.asp";

// Sex numbers of a child as the service counts them.
enum class ChildSex { Boy = 1, Girl = 2 };

// Every function takes the service's base address ("http://host[:port]").
std::string LoginPageUrl(std::string_view base, std::string_view userId, std::string_view password);
// The sign-in form's target: the action name read from the sign-in page.
std::string LoginActionUrl(std::string_view base, std::string_view action);
// The list requests carry the password in their cookie parameter; the service checks it there.
std::string ContentsListUrl(std::string_view base, std::string_view userId,
                            std::string_view password);
std::string ChildrenListUrl(std::string_view base, std::string_view userId,
                            std::string_view password);
std::string ChildrenDeleteUrl(std::string_view base, std::string_view userId, int childNo);
std::string ChildrenInsertUrl(std::string_view base, std::string_view userId,
                              std::string_view familyName, std::string_view givenName, ChildSex sex,
                              std::string_view birthday);
std::string ChildrenRequestUrl(std::string_view base, std::string_view userId, int childNo);
std::string BannerListUrl(std::string_view base);
std::string SystemUpdateFilesUrl(std::string_view base);
std::string FindAccountPageUrl(std::string_view base);
std::string JoinPageUrl(std::string_view base);

}  // namespace torvane
