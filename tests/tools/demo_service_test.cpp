// The local content service as the program's other parts rely on it: the sign-in pages and the
// session cookie, the shapes of its XML answers, the children's name voices, the packages that
// make a fresh card, the shop pages, and the program's command line.
#include "tools/demo_service/demo_service.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <thread>

#include "common/text_codec.h"
#include "store/content_types.h"
#include "store/default_xml.h"
#include "tests/support/service_test_util.h"

namespace torvane::test {
namespace {

using demo::DemoService;
using demo::DemoSettings;

// The part of an address after "http://127.0.0.1:PORT".
std::string TargetOf(const std::string& url) {
    const std::size_t slash = url.find('/', std::string_view("http://").size());
    return slash == std::string::npos ? std::string() : url.substr(slash);
}

bool IsWav(const std::string& bytes) {
    return bytes.size() > 44 && bytes.compare(0, 4, "RIFF") == 0 &&
           bytes.compare(8, 4, "WAVE") == 0;
}

class DemoServiceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(service_.Start(0)) << service_.Error();
        port_ = service_.Port();
    }

    static DemoSettings QuickVoices() {
        DemoSettings settings;
        settings.voiceDelayMs = 300;
        return settings;
    }

    XmlNode GetXml(const std::string& target, const std::string& cookie) {
        const HttpAnswer answer = Get(port_, target, cookie);
        EXPECT_EQ(answer.status, 200) << target;
        EXPECT_NE(answer.Header("content-type").find("xml"), std::string::npos);
        XmlNode root;
        EXPECT_TRUE(ParseXml(answer.body, root)) << answer.body;
        return root;
    }

    DemoService service_{DemoService::DefaultDataDir(), {}, QuickVoices()};
    int port_ = 0;
};

TEST_F(DemoServiceTest, SignInMakesTheSessionThatListsRequire) {
    const HttpAnswer page =
        Get(port_, "/torvane/pc_login.asp?userID=demo&userPW=demo1234&cookie=cookie");
    ASSERT_EQ(page.status, 200);
    const std::string setCookie = page.Header("set-cookie");
    ASSERT_EQ(setCookie.rfind("TORVANESESSION=", 0), 0u) << setCookie;
    const std::string cookie = setCookie.substr(0, setCookie.find(';'));

    SignInForm form;
    ASSERT_TRUE(ReadSignInForm(page.body, form)) << page.body;
    EXPECT_EQ(form.action, "pc_loginProc.asp");
    EXPECT_EQ(form.Value("userLogin"), "true");
    EXPECT_EQ(Cp949ToUtf8(form.Value("userName")), "김데모");  // the page is CP949

    const std::string contents = "/torvane/pc_contentsList.asp?userID=demo&soundType=larkspin";
    EXPECT_EQ(Get(port_, contents + "&cookie=demo1234", cookie).status, 403)
        << "a session is not signed in before the form comes back";

    const HttpAnswer info = PostForm(port_, "/torvane/" + form.action, FormBody(form), cookie);
    ASSERT_EQ(info.status, 200) << info.body;
    EXPECT_EQ(info.Header("set-cookie").substr(0, cookie.size()), cookie);
    XmlNode userInfo;
    ASSERT_TRUE(ParseXml(info.body, userInfo));
    EXPECT_EQ(userInfo.name, "userInfo");
    EXPECT_EQ(userInfo.ChildText("userID"), "demo");
    EXPECT_FALSE(userInfo.children.empty());

    EXPECT_EQ(Get(port_, contents + "&cookie=demo1234", cookie).status, 200);
    EXPECT_EQ(Get(port_, contents + "&cookie=demo1234").status, 403) << "no cookie";
    EXPECT_EQ(Get(port_, contents + "&cookie=wrong", cookie).status, 403) << "wrong password";
    EXPECT_EQ(Get(port_,
                  "/torvane/pc_contentsList.asp?userID=empty&soundType=larkspin"
                  "&cookie=empty1234",
                  cookie)
                  .status,
              403)
        << "another account's list";
}

struct SignInCase {
    std::string user;
    std::string password;
    std::string userLogin;
    std::string loginResult;
};

void PrintTo(const SignInCase& c, std::ostream* out) {
    *out << c.user << "/" << c.password;
}

class SignInPageTest : public DemoServiceTest, public ::testing::WithParamInterface<SignInCase> {};

TEST_P(SignInPageTest, AnswersWithAFormTheProgramCanRead) {
    const SignInCase& c = GetParam();
    const HttpAnswer page = Get(port_, "/torvane/pc_login.asp?userID=" + c.user +
                                           "&userPW=" + c.password + "&cookie=cookie");
    ASSERT_EQ(page.status, 200);
    EXPECT_NE(page.Header("set-cookie"), "");
    SignInForm form;
    ASSERT_TRUE(ReadSignInForm(page.body, form)) << page.body;
    EXPECT_EQ(form.action, "pc_loginProc.asp");
    EXPECT_EQ(form.Value("userLogin"), c.userLogin);
    EXPECT_EQ(form.Value("loginResult"), c.loginResult);
}

INSTANTIATE_TEST_SUITE_P(Accounts, SignInPageTest,
                         ::testing::Values(SignInCase{"demo", "demo1234", "true", "0"},
                                           SignInCase{"empty", "empty1234", "true", "0"},
                                           SignInCase{"demo", "demo12345", "false", "1"},
                                           SignInCase{"nobody", "demo1234", "false", "2"}));

TEST_F(DemoServiceTest, RefusesAFormThatDoesNotComeBackWhole) {
    const HttpAnswer page =
        Get(port_, "/torvane/pc_login.asp?userID=demo&userPW=demo1234&cookie=cookie");
    const std::string cookie =
        page.Header("set-cookie").substr(0, page.Header("set-cookie").find(';'));
    SignInForm form;
    ASSERT_TRUE(ReadSignInForm(page.body, form));

    SignInForm unencoded = form;  // values sent as they are: the ampersand splits a value
    std::string rawBody;
    for (const auto& [name, value] : unencoded.fields) {
        rawBody += (rawBody.empty() ? "" : "&") + name + "=" + value;
    }
    SignInForm shorter = form;
    shorter.fields.pop_back();
    const std::string otherSession = [&] {
        const std::string c = Get(port_, "/torvane/pc_bannerList.asp").Header("set-cookie");
        return c.substr(0, c.find(';'));
    }();

    const std::vector<std::pair<std::string, std::pair<std::string, std::string>>> cases = {
        {"values not percent-encoded", {rawBody, cookie}},
        {"a field missing", {FormBody(shorter), cookie}},
        {"no cookie", {FormBody(form), ""}},
        {"another session's cookie", {FormBody(form), otherSession}},
    };
    for (const auto& [label, request] : cases) {
        EXPECT_EQ(
            PostForm(port_, "/torvane/pc_loginProc.asp", request.first, request.second).status, 403)
            << label;
    }
    // The whole form still signs in afterwards.
    EXPECT_EQ(PostForm(port_, "/torvane/pc_loginProc.asp", FormBody(form), cookie).status, 200);
}

TEST_F(DemoServiceTest, CatalogueFillsEveryShelfWithFilesThatDownload) {
    const std::string cookie = SignIn(port_, "demo", "demo1234");
    ASSERT_FALSE(cookie.empty());
    const XmlNode list = GetXml(
        "/torvane/pc_contentsList.asp?userID=demo&soundType=larkspin&cookie=demo1234", cookie);
    EXPECT_EQ(list.name, "contentsList");

    std::set<Shelf> shelves;
    int fileCount = 0;
    for (const XmlNode* content : list.FindAll("content")) {
        const std::string title = content->ChildText("name");
        SCOPED_TRACE(content->ChildText("contentNo") + " " + title);
        const auto shelf =
            ShelfFor(content->ChildText("mainGroup"), content->ChildText("subGroup"));
        ASSERT_TRUE(shelf.has_value());
        shelves.insert(*shelf);
        EXPECT_EQ(Cp949ToUtf8(Utf8ToCp949(title)), title) << "every title fits CP949";
        EXPECT_EQ(Get(port_, TargetOf(content->ChildText("thumbnailImage"))).body.substr(0, 2),
                  "BM");

        for (const XmlNode* file : content->FindAll("file")) {
            ++fileCount;
            const std::string url = file->ChildText("fileURL");
            ASSERT_NE(url.find("&fileNo="), std::string::npos) << url;
            const HttpAnswer sound = Get(port_, TargetOf(url));
            EXPECT_EQ(sound.status, 200) << url;
            EXPECT_TRUE(IsWav(sound.body));
            EXPECT_EQ(std::to_string(sound.body.size()), file->ChildText("fileSize"));
            EXPECT_EQ(Get(port_, TargetOf(url.substr(0, url.find('&')))).status, 404)
                << "an address cut at its ampersand finds nothing";
            EXPECT_EQ(file->ChildText("rfidCardID"),
                      file->ChildText("name").substr(0, file->ChildText("name").find('.')));
        }
    }
    EXPECT_EQ(shelves.size(), kShelfCount);
    EXPECT_GT(fileCount, static_cast<int>(kShelfCount));

    const std::string emptyCookie = SignIn(port_, "empty", "empty1234");
    const XmlNode none =
        GetXml("/torvane/pc_contentsList.asp?userID=empty&soundType=larkspin&cookie=empty1234",
               emptyCookie);
    EXPECT_EQ(none.name, "contentsList");
    EXPECT_TRUE(none.FindAll("content").empty());
}

TEST_F(DemoServiceTest, ChildrenAreAddedGetTheirNameVoiceAndAreDeleted) {
    const std::string cookie = SignIn(port_, "demo", "demo1234");
    ASSERT_FALSE(cookie.empty());
    const std::string list = "/torvane/pc_childrenList.asp?userID=demo&cookie=demo1234";
    auto findChild = [&](const std::string& childNo) -> std::optional<XmlNode> {
        const XmlNode root = GetXml(list, cookie);
        for (const XmlNode* child : root.FindAll("childInfo")) {
            if (child->ChildText("childNo") == childNo) {
                return *child;
            }
        }
        return std::nullopt;
    };
    auto voiceOf = [](const XmlNode& child) {
        const auto files = child.FindAll("nameFile");
        return files.empty() ? XmlNode{} : *files.front();
    };
    auto command = [&](const std::string& target) {
        return GetXml(target, cookie).ChildText("code");
    };

    EXPECT_EQ(GetXml(list, cookie).name, "childrenList");
    const std::string insert =
        "/torvane/pc_childrenInsert.asp?userID=demo&mc_name1=" + PercentEncode(Utf8ToCp949("최")) +
        "&mc_name2=" + PercentEncode(Utf8ToCp949("똠순")) +
        "&mc_sex=2&mc_birthday=2021-04-09&cookie=cookie";
    const XmlNode inserted = GetXml(insert, cookie);
    ASSERT_EQ(inserted.ChildText("code"), "0");
    const std::string childNo = inserted.ChildText("childNo");

    auto child = findChild(childNo);
    ASSERT_TRUE(child.has_value());
    EXPECT_EQ(child->ChildText("familyName"), "최");
    EXPECT_EQ(child->ChildText("firstName"), "똠순");
    EXPECT_EQ(child->ChildText("gender"), "female");
    EXPECT_EQ(child->ChildText("birthday"), "2021-04-09");
    EXPECT_EQ(voiceOf(*child).ChildText("nameFileStatus"), "none");
    EXPECT_EQ(voiceOf(*child).ChildText("soundType"), "larkspin");

    EXPECT_EQ(command("/torvane/pc_childrenRequest.asp?userID=demo&childNo=" + childNo +
                      "&cookie=cookie"),
              "0");
    EXPECT_EQ(voiceOf(*findChild(childNo)).ChildText("nameFileStatus"), "requested");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (voiceOf(*findChild(childNo)).ChildText("nameFileStatus") != "exist" &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const XmlNode voice = voiceOf(*findChild(childNo));
    ASSERT_EQ(voice.ChildText("nameFileStatus"), "exist");
    const std::string url = voice.ChildText("nameFileURL");
    EXPECT_EQ(PercentEncode(url), url) << "the program percent-encodes this address";
    const HttpAnswer sound = Get(port_, TargetOf(url));
    EXPECT_TRUE(IsWav(sound.body));
    EXPECT_EQ(std::to_string(sound.body.size()), voice.ChildText("nameFileSize"));

    EXPECT_EQ(
        command("/torvane/pc_childrenDelete.asp?userID=demo&childNo=" + childNo + "&cookie=cookie"),
        "0");
    EXPECT_FALSE(findChild(childNo).has_value());
    EXPECT_EQ(Get(port_, TargetOf(url)).status, 404);
    EXPECT_EQ(
        command("/torvane/pc_childrenDelete.asp?userID=demo&childNo=" + childNo + "&cookie=cookie"),
        "1");
    EXPECT_EQ(
        Get(port_, "/torvane/pc_childrenRequest.asp?userID=demo&childNo=101&cookie=cookie").status,
        403)
        << "commands need the session too";
}

TEST_F(DemoServiceTest, BannerListNamesPicturesThatDownload) {
    const XmlNode list = GetXml("/torvane/pc_bannerList.asp", "");
    EXPECT_EQ(list.name, "bannerList");
    const auto banners = list.FindAll("bannerInfo");
    ASSERT_GE(banners.size(), 2u);
    for (const XmlNode* banner : banners) {
        const std::string url = banner->ChildText("bannerFileURL");
        const std::string fileName = url.substr(url.rfind('/') + 1);
        EXPECT_FALSE(fileName.empty());
        EXPECT_EQ(fileName.find('?'), std::string::npos) << "the program saves it by this name";
        const HttpAnswer picture = Get(port_, TargetOf(url));
        EXPECT_EQ(picture.status, 200);
        EXPECT_EQ(picture.body.substr(0, 2), "BM");
        EXPECT_FALSE(banner->ChildText("bannerLinkURL").empty());
    }
}

TEST_F(DemoServiceTest, PackagesUnpackIntoAFreshCard) {
    EXPECT_EQ(Get(port_, "/torvane/pc_systemUpdateFiles.asp").status, 403);
    const std::string cookie = SignIn(port_, "demo", "demo1234");
    const XmlNode list = GetXml("/torvane/pc_systemUpdateFiles.asp", cookie);
    EXPECT_EQ(list.name, "systemUpdateFiles");
    const auto packages = list.FindAll("factoryFile");
    ASSERT_EQ(packages.size(), 2u);

    for (const XmlNode* package : packages) {
        const std::string name = package->ChildText("name");
        SCOPED_TRACE(name);
        const HttpAnswer zip = Get(port_, TargetOf(package->ChildText("fileURL")));
        ASSERT_EQ(zip.status, 200);
        EXPECT_EQ(std::to_string(zip.body.size()), package->ChildText("fileSize"));

        TempFolder card;
        std::vector<std::string> entries;
        ASSERT_TRUE(ExtractZip(zip.body, card.path(), &entries));
        CDefaultXML database{card.path().string()};
        ASSERT_TRUE(database.Load().ok());
        EXPECT_EQ(database.systemVersion(), "1.4");
        EXPECT_EQ(database.soundType(), "larkspin");
        for (Shelf shelf : kAllShelves) {
            EXPECT_TRUE(database.Contents(shelf).empty());
        }
        EXPECT_EQ(ReadFile(card.path() / "info.dat"), package->ChildText("version"));
        for (const char* folder : {"ck2", "ck3", "ck7", "ck8", "ck10", "ck11"}) {
            for (const char* table : {"rfid.tbl", "sw.tbl"}) {
                const auto path = card.path() / folder / table;
                EXPECT_TRUE(std::filesystem::exists(path)) << path;
                EXPECT_EQ(ReadFile(path), "") << path;
            }
        }
        EXPECT_TRUE(std::filesystem::is_directory(card.path() / "ck9" / "re4"));

        // Tables in a package are appended to the card's own, so an update, which is unpacked
        // over a card in use, must not carry a filled one.
        const bool isUpdate = name.find("update") != std::string::npos;
        for (const std::string& entry : entries) {
            if (isUpdate && entry.ends_with(".tbl")) {
                EXPECT_EQ(ReadFile(card.path() / entry), "") << entry;
            }
        }
        if (!isUpdate) {
            EXPECT_NE(std::find(entries.begin(), entries.end(), "ck9/rec.tbl"), entries.end());
        }
    }
}

class ShopPageTest : public DemoServiceTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(ShopPageTest, IsCp949Html) {
    const HttpAnswer page = Get(port_, GetParam());
    ASSERT_EQ(page.status, 200);
    EXPECT_NE(page.Header("content-type").find("euc-kr"), std::string::npos);
    const std::string text = Cp949ToUtf8(page.body);
    EXPECT_NE(text.find("<title>"), std::string::npos);
    EXPECT_EQ(text.find("\xEF\xBF\xBD"), std::string::npos) << "not valid CP949";
}

INSTANTIATE_TEST_SUITE_P(
    WebViewPages, ShopPageTest,
    ::testing::Values("/torvane/html_notice_list.asp?userID=torvane&cookie=0123456789abcdef",
                      "/torvane/html_order_list.asp?userID=demo&cookie=0123456789abcdef",
                      "/torvane/html_cart_list.asp?userID=demo&cookie=0123456789abcdef",
                      "/torvane/html_goods_list.asp",
                      "/ui/goods_list.asp?sch_gd_group_m=1&sch_gd_group_s=1&userID=demo",
                      "/ui/goods_recommend.asp?sch_gd_group_m=2&userID=demo",
                      "/ui/goods_list3.asp?sch_gd_group_m=4&category=a",
                      "/ui/goods_list4.asp?sch_gd_group_m=6&sch_gd_group_s=1", "/ui/member_02.asp",
                      "/ui/member_03.asp", "/"));

TEST(DemoServiceStart, FailsWithAReasonWhenTheDataIsMissing) {
    TempFolder empty;
    DemoService service(empty.path());
    EXPECT_FALSE(service.Start(0));
    EXPECT_NE(service.Error().find("accounts.json"), std::string::npos) << service.Error();
}

// The program's contract with scripts and other tests: the first line names the address, and it
// ends cleanly on SIGTERM.
TEST(DemoServiceProgram, PrintsItsAddressServesAndStopsOnSigterm) {
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execl(TORVANE_DEMO_SERVICE_BIN, TORVANE_DEMO_SERVICE_BIN, "--port", "0", "--data",
              DemoService::DefaultDataDir().c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string line;
    char c = 0;
    while (read(out[0], &c, 1) == 1 && c != '\n') {
        line += c;
    }
    close(out[0]);
    const std::string prefix = "listening on 127.0.0.1:";
    ASSERT_EQ(line.rfind(prefix, 0), 0u) << line;
    const int port = std::stoi(line.substr(prefix.size()));
    EXPECT_GT(port, 0);
    EXPECT_EQ(Get(port, "/torvane/pc_bannerList.asp").status, 200);

    kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace torvane::test
