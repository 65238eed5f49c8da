// Sign-in: reading the sign-in page's form, the result code, the form body, the userInfo answer,
// what is remembered, and whole attempts against a server.
#include "service/login.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_server.h"

namespace torvane {
namespace {

using test::TestServer;

std::string LoginPage(const std::vector<std::pair<std::string, std::string>>& fields,
                      const std::string& action = "pc_loginOk.asp") {
    std::string page = "<html><body><form name=\"pcForm\" method=\"post\">\n";
    for (const auto& [name, value] : fields)
        page += "<input type=\"hidden\" name=\"" + name + "\" value=\"" + value + "\">\n";
    page += "</form><script>document.pcForm.action = \"" + action +
            "\"; document.pcForm.submit();</script></body></html>";
    return page;
}

LoginForm Fields(std::vector<std::pair<std::string, std::string>> pairs) {
    LoginForm form;
    for (auto& [name, value] : pairs) {
        form.names.push_back(name);
        form.values.push_back(value);
    }
    return form;
}

TEST(ReadLoginFormTest, ReadsFieldsInOrderAndTheAction) {
    LoginForm form;
    const Status read =
        ReadLoginForm(LoginPage({{"userID", "mom"}, {"userLogin", "true"}, {"x", ""}}), form);
    ASSERT_TRUE(read.ok()) << read.message();
    EXPECT_EQ(form.names, (std::vector<std::string>{"userID", "userLogin", "x"}));
    EXPECT_EQ(form.values, (std::vector<std::string>{"mom", "true", ""}));
    EXPECT_EQ(form.action, "pc_loginOk.asp");
}

TEST(ReadLoginFormTest, NamesTheMissingPiece) {
    const std::pair<std::string, std::string> cases[] = {
        {"<input type=\"text\">", "name tag를 찾지 못하였습니다"},
        {"<input name=\"a\"> document.pcForm.action=\"x\"", "value tag를 찾지 못하였습니다"},
        {"<input name=\"a\" value=\"1\">", "document.pcForm.action tag를 찾지 못하였습니다"},
        {"<input name=\"a value=1>", "\" tag를 찾지 못하였습니다"},
        {"<input name=\"a\" value=\"1\"> document.pcForm.action = x;",
         "\" tag를 찾지 못하였습니다"},
    };
    for (const auto& [page, expected] : cases) {
        LoginForm form;
        const Status read = ReadLoginForm(page, form);
        EXPECT_FALSE(read.ok()) << page;
        EXPECT_EQ(read.message(), expected) << page;
    }
}

TEST(LoginResultCodeTest, FirstUserLoginDecidesAndALaterLoginResultGivesTheReason) {
    const std::pair<LoginForm, int> cases[] = {
        {Fields({{"userLogin", "TRUE"}}), 0},
        {Fields({{"userLogin", "true"}, {"loginResult", "2"}}), 0},
        {Fields({{"userLogin", "false"}, {"x", "y"}, {"loginResult", "2"}}), 2},
        {Fields({{"userLogin", "false"}, {"loginResult", "1"}}), 1},
        {Fields({{"userLogin", "false"}}), -1},
        {Fields({{"loginResult", "2"}, {"userLogin", "false"}}), -1},
        {Fields({{"userLogin", "false"}, {"userLogin", "true"}, {"loginResult", "5"}}), 5},
        {Fields({}), -1},
    };
    for (const auto& [form, code] : cases) EXPECT_EQ(LoginResultCode(form), code);
}

TEST(BuildFormBodyTest, EncodesValuesAsTheirBytesAndKeepsNames) {
    EXPECT_EQ(BuildFormBody(Fields({{"userID", "mom"}, {"memo", "a b&c"}, {"name", "\xb0\xa1"}})),
              "userID=mom&memo=a%20b%26c&name=%b0%a1");
    EXPECT_EQ(BuildFormBody(Fields({})), "");
}

TEST(ReadUserInfoTest, ReadsTheChildrenOfUserInfoOnly) {
    LoginForm form;
    const Status read = ReadUserInfo(
        "\n\n<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<result><status>ok"
        "</status><userInfo>\n <userID>mom</userID>\n <userName>김&amp;이"
        "</userName><empty/></userInfo></result>",
        form);
    ASSERT_TRUE(read.ok()) << read.message();
    EXPECT_EQ(form.names, (std::vector<std::string>{"userID", "userName", "empty"}));
    EXPECT_EQ(form.values, (std::vector<std::string>{"mom", "김&이", ""}));
    const Status damaged = ReadUserInfo("<userInfo><a>1</userInfo>", form);
    EXPECT_FALSE(damaged.ok());
    EXPECT_FALSE(damaged.message().empty());
}

TEST(SavedLoginForTest, PasswordIsRememberedOnlyWithTheIdentifier) {
    struct Case {
        bool rememberId, rememberPassword;
        int ckId, ckPass;
        std::string id, pass;
    };
    const Case cases[] = {
        {false, false, 0, 0, "", ""},
        {false, true, 0, 0, "", ""},
        {true, false, 1, 0, "mom", ""},
        {true, true, 1, 1, "mom", "pw"},
    };
    for (const Case& c : cases) {
        const SavedLogin saved = SavedLoginFor({"mom", "pw", c.rememberId, c.rememberPassword});
        EXPECT_EQ(saved.ckId, c.ckId);
        EXPECT_EQ(saved.ckPass, c.ckPass);
        EXPECT_EQ(saved.id, c.id);
        EXPECT_EQ(saved.pass, c.pass);
    }
}

constexpr const char* kUserInfo =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><userInfo><userID>mom</userID>"
    "<userName>엄마</userName></userInfo>";

class SignInTest : public ::testing::Test {
  protected:
    void SetUp() override {
        session.baseUrl = server.BaseUrl();
        session.cookie = "BANNER=1";  // left by the banner request before sign-in
    }

    TestServer server;
    ServiceSession session;
};

TEST_F(SignInTest, SuccessOpensTheSessionAndPostsTheFormInsideIt) {
    server.OnText("/torvane/pc_login.asp",
                  LoginPage({{"userID", "mom"}, {"userLogin", "True"}, {"memo", "a b"}}),
                  "ASPSESSIONID=LOGIN");
    server.OnText("/torvane/pc_loginOk.asp", kUserInfo, "ASPSESSIONID=OTHER");

    const LoginOutcome outcome = SignIn({"mom", "pa ss", true, false}, session);

    ASSERT_TRUE(outcome.ok()) << outcome.status.message();
    EXPECT_EQ(outcome.status.id(), MessageId::None);
    EXPECT_TRUE(outcome.status.notes().empty());
    EXPECT_EQ(session.cookie, "ASPSESSIONID=LOGIN");
    EXPECT_EQ(session.userId, "mom");
    EXPECT_EQ(session.password, "pa ss");
    EXPECT_EQ(outcome.userInfo.names, (std::vector<std::string>{"userID", "userName"}));
    EXPECT_EQ(outcome.userInfo.values, (std::vector<std::string>{"mom", "엄마"}));
    EXPECT_EQ(outcome.saved.ckId, 1);
    EXPECT_EQ(outcome.saved.id, "mom");

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].target, "/torvane/pc_login.asp?userID=mom&userPW=pa%20ss&cookie=cookie");
    EXPECT_FALSE(requests[0].HasHeader("Cookie"));
    EXPECT_EQ(requests[1].method, "POST");
    EXPECT_EQ(requests[1].body, "userID=mom&userLogin=True&memo=a%20b");
    EXPECT_EQ(requests[1].Header("Cookie"), "ASPSESSIONID=LOGIN");
    EXPECT_EQ(requests[1].Header("Content-Type"), "application/x-www-form-urlencoded");
}

struct FailureCase {
    std::string name;
    std::string page;  // empty: the sign-in page answers 500
    std::string userInfo;
    std::string message;
    MessageId said;
    bool withReason;  // the client's or parser's reason follows as a note
    std::size_t requests;
    OutcomeKind kind;  // the account refused, or the service failing
};

class SignInFailureTest : public ::testing::TestWithParam<FailureCase> {};

TEST_P(SignInFailureTest, ShowsTheSentenceOfTheCase) {
    const FailureCase& c = GetParam();
    TestServer server;
    if (c.page.empty())
        server.AnswerStatuses({500});
    else
        server.OnText("/torvane/pc_login.asp", c.page, "ASPSESSIONID=LOGIN");
    server.OnText("/torvane/pc_loginOk.asp", c.userInfo);
    ServiceSession session;
    session.baseUrl = server.BaseUrl();

    const LoginOutcome outcome = SignIn({"mom", "pw", true, true}, session);
    EXPECT_FALSE(outcome.ok());
    EXPECT_EQ(outcome.status.message(), c.message);
    EXPECT_EQ(outcome.status.id(), c.said);
    EXPECT_EQ(outcome.status.notes().size(), c.withReason ? 1u : 0u);
    EXPECT_EQ(server.Requests().size(), c.requests);
    EXPECT_EQ(outcome.status.kind(), c.kind);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, SignInFailureTest,
    ::testing::Values(
        FailureCase{"WrongPassword", LoginPage({{"userLogin", "false"}, {"loginResult", "1"}}),
                    kUserInfo, "암호가 틀립니다.", MessageId::WrongPassword, false, 1,
                    OutcomeKind::NotSignedIn},
        FailureCase{"WrongId", LoginPage({{"userLogin", "false"}, {"loginResult", "2"}}), kUserInfo,
                    "아이디가 틀립니다.", MessageId::WrongId, false, 1, OutcomeKind::NotSignedIn},
        FailureCase{"NoReason", LoginPage({{"userLogin", "false"}}), kUserInfo,
                    "서버의 알수 없는 에러입니다.", MessageId::UnknownServerError, false, 1,
                    OutcomeKind::ServiceFailed},
        FailureCase{"OddCode", LoginPage({{"userLogin", "false"}, {"loginResult", "9"}}), kUserInfo,
                    "서버의 알수 없는 에러입니다.", MessageId::UnknownServerError, false, 1,
                    OutcomeKind::ServiceFailed},
        FailureCase{"ServerDown", "", kUserInfo, "서버에 연결할 수 없습니다.",
                    MessageId::CannotConnect, true, 1, OutcomeKind::ServiceFailed},
        FailureCase{"PageWithoutAction", "<input name=\"userLogin\" value=\"true\">", kUserInfo,
                    "document.pcForm.action tag를 찾지 못하였습니다", MessageId::NoActionTag, false,
                    1, OutcomeKind::ServiceFailed},
        FailureCase{"MalformedUserInfo", LoginPage({{"userLogin", "true"}}),
                    "<userInfo><id>mom</userInfo>", "잘못된 데이터 입니다.", MessageId::BadData,
                    true, 2, OutcomeKind::ServiceFailed},
        FailureCase{"ActionNotFound", LoginPage({{"userLogin", "true"}}, "missing.asp"), kUserInfo,
                    "잘못된 데이터 입니다.", MessageId::BadData, true, 2,
                    OutcomeKind::ServiceFailed}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST(SignInInputTest, EmptyIdentifierOrPasswordSendsNothing) {
    TestServer server;
    ServiceSession session;
    session.baseUrl = server.BaseUrl();
    EXPECT_EQ(SignIn({"", "pw", false, false}, session).status.message(), "아이디를 입력하세요");
    EXPECT_EQ(SignIn({"mom", "", false, false}, session).status.message(), "암호를 입력하세요");
    EXPECT_EQ(SignIn({"mom", "", false, false}, session).status.kind(), OutcomeKind::NotSignedIn);
    EXPECT_TRUE(server.Requests().empty());
}

}  // namespace
}  // namespace torvane
