// Text requests: what goes out in each session state, the retry rule, the failure texts and how
// an answer's body is framed.
#include "service/http_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/test_server.h"

namespace torvane {
namespace {

using std::chrono::milliseconds;
using test::TestServer;

struct Reply {
    bool ok = false;
    std::string error;
    std::optional<std::string> answer;
};

Reply Request(const std::string& url, std::string& cookie,
              std::optional<std::string_view> body = std::nullopt,
              const HttpLimits& limits = HttpLimits{}) {
    Reply reply;
    const Status status = RequestText(url, body, cookie, reply.answer, limits);
    reply.ok = status.ok();
    reply.error = status.message();
    return reply;
}

TEST(RequestTextTest, WithoutSessionSendsSyncmlTypeAndCapturesCookieUpToSemicolon) {
    TestServer server;
    server.On("/torvane/x.asp", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Set-Cookie", "ASPSESSIONID=QWERTY; path=/; HttpOnly");
        response.set_header("Set-Cookie", "SECOND=ignored");
        response.set_content("<ok/>", "text/xml");
    });
    std::string cookie;
    const Reply reply = Request(server.BaseUrl() + "/torvane/x.asp?a=1", cookie);

    ASSERT_TRUE(reply.ok) << reply.error;
    EXPECT_EQ(reply.answer, "<ok/>");
    EXPECT_EQ(cookie, "ASPSESSIONID=QWERTY");
    const auto sent = server.LastRequest();
    EXPECT_EQ(sent.method, "GET");
    EXPECT_EQ(sent.target, "/torvane/x.asp?a=1");
    EXPECT_EQ(sent.version, "HTTP/1.0");
    EXPECT_EQ(sent.Header("Content-Type"), "application/vnd.syncml+xml");
    EXPECT_EQ(sent.Header("Content-Length"), "0");
    EXPECT_EQ(sent.Header("User-Agent"), "Torvane");
    EXPECT_EQ(sent.Header("Accept"), "*/*");
    EXPECT_FALSE(sent.HasHeader("Cookie"));
}

TEST(RequestTextTest, InsideSessionSendsFormTypeAndCookieAndKeepsTheCookie) {
    TestServer server;
    server.OnText("/torvane/form.asp", "<userInfo/>", "ASPSESSIONID=NEW");
    std::string cookie = "ASPSESSIONID=OLD";
    const Reply reply = Request(server.BaseUrl() + "/torvane/form.asp", cookie, "a=1&b=%20");

    ASSERT_TRUE(reply.ok) << reply.error;
    EXPECT_EQ(cookie, "ASPSESSIONID=OLD");
    const auto sent = server.LastRequest();
    EXPECT_EQ(sent.method, "POST");
    EXPECT_EQ(sent.body, "a=1&b=%20");
    EXPECT_EQ(sent.Header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(sent.Header("Content-Length"), "9");
    EXPECT_EQ(sent.Header("Cookie"), "ASPSESSIONID=OLD");
}

TEST(RequestTextTest, AnswerWithoutCookieToACookielessRequestFailsUnread) {
    TestServer server;
    server.OnText("/x", "body", "");
    std::string cookie;
    const Reply reply = Request(server.BaseUrl() + "/x", cookie);
    EXPECT_FALSE(reply.ok);
    EXPECT_EQ(reply.error, "Not Found  Cookie");
    EXPECT_FALSE(reply.answer);
    EXPECT_TRUE(cookie.empty());
}

struct StatusCase {
    std::vector<int> statuses;
    bool ok;
    std::string error;
    std::size_t requests;
};

class RequestStatusTest : public ::testing::TestWithParam<StatusCase> {};

TEST_P(RequestStatusTest, RetriesOnlyBadRequestAndNamesTheStatus) {
    const StatusCase& c = GetParam();
    TestServer server;
    server.OnText("/x", "fine");
    server.AnswerStatuses(c.statuses);
    std::string cookie = "SID=1";
    const Reply reply = Request(server.BaseUrl() + "/x", cookie);

    EXPECT_EQ(reply.ok, c.ok);
    EXPECT_EQ(reply.error, c.error);
    EXPECT_EQ(server.Requests().size(), c.requests);
    if (c.ok)
        EXPECT_EQ(reply.answer, "fine");
    else
        EXPECT_FALSE(reply.answer);
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, RequestStatusTest,
    ::testing::Values(
        StatusCase{{400, 400}, true, "", 3},
        StatusCase{{400, 400, 400}, false, "HTTP request error: 3 attempts failed.", 3},
        StatusCase{{404}, false, "HTTP request error: resource not found (status 404)", 1},
        StatusCase{{408},
                   false,
                   "HTTP request error: server timed out waiting for request (status 408)",
                   1},
        StatusCase{{500}, false, "HTTP server error: 500. Server failure.", 1},
        StatusCase{{400, 503}, false, "HTTP request error: status received = 503): (code 0)", 2}));

TEST(RequestTextTest, UnreachableServiceFailsAfterThreeAttempts) {
    int port = 0;
    {
        TestServer closed;
        port = closed.Port();
    }
    std::string cookie;
    const Reply reply = Request("http://127.0.0.1:" + std::to_string(port) + "/x", cookie);
    EXPECT_FALSE(reply.ok);
    EXPECT_EQ(reply.error, "HTTP request error: 3 attempts failed.");
}

// How the body is delimited must not change what is read.
enum class Framing { Length, LengthWithExtraBytes, Chunked, Close };

class BodyFramingTest : public ::testing::TestWithParam<Framing> {};

TEST_P(BodyFramingTest, ReadsTheWholeAnnouncedBody) {
    static const std::string text(5000, 'x');  // outlives the server's last write
    const Framing framing = GetParam();
    TestServer server;
    server.On("/x", [&](const httplib::Request&, httplib::Response& response) {
        response.set_header("Set-Cookie", "SID=1");
        switch (framing) {
            case Framing::Length:
                response.set_content(text, "text/xml");
                break;
            case Framing::LengthWithExtraBytes:
                response.set_content_provider(
                    text.size(), "text/xml",
                    [&](std::size_t, std::size_t, httplib::DataSink& sink) {
                        sink.write(text.data(), text.size());
                        sink.write("TRAILING", 8);
                        return true;
                    });
                break;
            case Framing::Chunked:
                response.set_chunked_content_provider("text/xml",
                                                      [&](std::size_t, httplib::DataSink& sink) {
                                                          sink.write(text.data(), 2000);
                                                          sink.write(text.data() + 2000, 3000);
                                                          sink.done();
                                                          return true;
                                                      });
                break;
            case Framing::Close:
                response.set_content_provider(
                    "text/xml", [&](std::size_t offset, httplib::DataSink& sink) {
                        if (offset < text.size())
                            sink.write(text.data() + offset,
                                       std::min<std::size_t>(1000, text.size() - offset));
                        else
                            sink.done();
                        return true;
                    });
                break;
        }
    });
    std::string cookie;
    const Reply reply = Request(server.BaseUrl() + "/x", cookie);
    ASSERT_TRUE(reply.ok) << reply.error;
    EXPECT_EQ(reply.answer, text);
}

std::string FramingName(const ::testing::TestParamInfo<Framing>& info) {
    const char* names[] = {"Length", "LengthWithExtraBytes", "Chunked", "Close"};
    return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Framings, BodyFramingTest,
                         ::testing::Values(Framing::Length, Framing::LengthWithExtraBytes,
                                           Framing::Chunked, Framing::Close),
                         FramingName);

TEST(RequestTextTest, BodyCutShortOfItsLengthFailsWithThePartKept) {
    TestServer server;
    server.On("/x", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Set-Cookie", "SID=1");
        response.set_content_provider(1000, "text/xml",
                                      [](std::size_t, std::size_t, httplib::DataSink& sink) {
                                          sink.write(std::string(400, 'a').data(), 400);
                                          return false;  // the connection drops
                                      });
    });
    std::string cookie;
    const Reply reply = Request(server.BaseUrl() + "/x", cookie);
    EXPECT_FALSE(reply.ok);
    EXPECT_EQ(reply.error, "InternetReadFile Error: 18");
    EXPECT_EQ(reply.answer, std::string(400, 'a'));
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST(RequestTextTest, AnswerOverTheMemoryCapFailsAnnouncedOrNot) {
    static const std::string text(5000, 'x');  // outlives the server's last write
    HttpLimits limits;
    limits.maxAnswerBytes = 4096;
    TestServer server;
    server.OnText("/announced", text);
    server.On("/chunked", [&](const httplib::Request&, httplib::Response& response) {
        response.set_header("Set-Cookie", "SID=1");
        response.set_chunked_content_provider("text/xml",
                                              [&](std::size_t, httplib::DataSink& sink) {
                                                  sink.write(text.data(), text.size());
                                                  sink.done();
                                                  return true;
                                              });
    });
    for (const std::string path : {"/announced", "/chunked"}) {
        SCOPED_TRACE(path);
        std::string cookie;
        const Reply reply = Request(server.BaseUrl() + path, cookie, std::nullopt, limits);
        EXPECT_FALSE(reply.ok);
        EXPECT_EQ(reply.error, "Server response too large: 5000 bytes exceed the limit of 4096.");
        EXPECT_FALSE(reply.answer);
    }
    std::string cookie;
    limits.maxAnswerBytes = 5000;
    EXPECT_TRUE(Request(server.BaseUrl() + "/chunked", cookie, std::nullopt, limits).ok);
}

TEST(RequestTextTest, StalledBodyFailsAfterTheReceiveTimeout) {
    HttpLimits limits;
    limits.receiveTimeout = milliseconds(300);
    TestServer server;
    server.On("/x", [&](const httplib::Request&, httplib::Response& response) {
        response.set_header("Set-Cookie", "SID=1");
        response.set_content_provider(100, "text/xml",
                                      [&](std::size_t, std::size_t, httplib::DataSink& sink) {
                                          sink.write("<a>", 3);
                                          server.Stall(milliseconds(10000));
                                          return false;
                                      });
    });
    std::string cookie;
    const auto start = std::chrono::steady_clock::now();
    const Reply reply = Request(server.BaseUrl() + "/x", cookie, std::nullopt, limits);
    EXPECT_FALSE(reply.ok);
    EXPECT_EQ(reply.error, "InternetReadFile Error: 28");
    EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds(5000));
}

TEST(RequestTextTest, SilentServiceTimesOutEachAttempt) {
    HttpLimits limits;
    limits.receiveTimeout = milliseconds(300);
    TestServer server;
    server.On("/x", [&](const httplib::Request&, httplib::Response& response) {
        server.Stall(milliseconds(10000));
        response.set_content("late", "text/plain");
    });
    std::string cookie;
    const Reply reply = Request(server.BaseUrl() + "/x", cookie, std::nullopt, limits);
    EXPECT_FALSE(reply.ok);
    EXPECT_EQ(reply.error, "HTTP request error: 3 attempts failed.");
    EXPECT_EQ(server.Requests().size(), 3u);
}

TEST(UrlEncodeTest, KeepsPathCharactersAndEncodesEveryOtherByteInLowerCaseHex) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"a b", "a%20b"},
        {"x&y=z", "x%26y%3dz"},
        {"C:\\dir/sub-dir_1.txt@host", "C:\\dir/sub-dir_1.txt@host"},
        {"AZaz09", "AZaz09"},
        {"\xb0\xa1\xff", "%b0%a1%ff"},
        {"100%+#?", "100%25%2b%23%3f"},
        {"", ""},
    };
    for (const auto& [input, expected] : cases) EXPECT_EQ(UrlEncode(input), expected) << input;
    // Typed text goes out as CP949 bytes.
    EXPECT_EQ(UrlEncodeText("가 A"), "%b0%a1%20A");
}

TEST(UrlEncodeTest, EscapesBothBytesOfEveryDoubleByteCharacter) {
    // The second byte of these syllables is an ASCII letter; it is escaped with its lead byte.
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"똠", "%8c%63"},
        {"쓔", "%9d%6f"},
        {"햏", "%c1%64"},
        {"똠 방울", "%8c%63%20%b9%e6%bf%ef"},
        {"a똠b=1&c", "a%8c%63b%3d1%26c"},
        {"홍길동@x.kr", "%c8%ab%b1%e6%b5%bf@x.kr"},
    };
    for (const auto& [utf8, expected] : cases) EXPECT_EQ(UrlEncodeText(utf8), expected) << utf8;
    // A lead byte cut off at the end of the text is escaped alone.
    EXPECT_EQ(UrlEncode("A\x8c"), "A%8c");
}

TEST(SplitUrlTest, SkipsLeadingBlanksAndDefaultsThePort) {
    const auto withPort = SplitUrl("  http://svc.example:8080/torvane/a.asp?x=1");
    ASSERT_TRUE(withPort);
    EXPECT_EQ(withPort->host, "svc.example");
    EXPECT_EQ(withPort->port, 8080);
    EXPECT_EQ(withPort->pathAndQuery, "/torvane/a.asp?x=1");
    const auto bare = SplitUrl("http://svc.example");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->port, 80);
    EXPECT_EQ(bare->pathAndQuery, "/");
    EXPECT_FALSE(SplitUrl("http:///path"));
    EXPECT_FALSE(SplitUrl("http://host:99999/"));
}

}  // namespace
}  // namespace torvane
