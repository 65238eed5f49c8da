// Faults the service shows on request, so that the program's download and request code can be
// tested against a misbehaving server: error statuses, and bodies that stall, break off, come
// without a length, in chunks or slowly. Also the large files the benchmarks download.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/support/service_test_util.h"
#include "tools/demo_service/body_source.h"
#include "tools/demo_service/demo_service.h"

namespace torvane::test {
namespace {

using demo::BodyFault;
using demo::DemoService;
using demo::DemoSettings;
using demo::FaultPlan;

constexpr std::size_t kBodySize = 20000;
const std::string kBodyTarget = "/torvane/bench/sound.mp3?bytes=" + std::to_string(kBodySize);

std::string ExpectedBody() {
    std::string bytes(kBodySize, '\0');
    demo::GeneratedSoundBody(kBodySize).Read(0, bytes.data(), bytes.size());
    return bytes;
}

std::string Dechunk(const std::string& chunked) {
    std::string out;
    std::size_t pos = 0;
    while (pos < chunked.size()) {
        const std::size_t lineEnd = chunked.find("\r\n", pos);
        const std::size_t size = std::stoul(chunked.substr(pos, lineEnd - pos), nullptr, 16);
        if (size == 0) {
            break;
        }
        out += chunked.substr(lineEnd + 2, size);
        pos = lineEnd + 2 + size + 2;
    }
    return out;
}

struct StatusCase {
    std::string label;
    FaultPlan plan;
    std::vector<std::pair<std::string, int>> requests;  // target, expected status, in order
};

void PrintTo(const StatusCase& c, std::ostream* out) {
    *out << c.label;
}

class StatusFaultTest : public ::testing::TestWithParam<StatusCase> {};

TEST_P(StatusFaultTest, AnswersTheChosenStatuses) {
    DemoService service(DemoService::DefaultDataDir(), GetParam().plan);
    ASSERT_TRUE(service.Start(0)) << service.Error();
    for (const auto& [target, status] : GetParam().requests) {
        const HttpAnswer answer = Get(service.Port(), target);
        EXPECT_EQ(answer.status, status) << target;
        EXPECT_NE(answer.Header("set-cookie"), "") << "every answer carries the session cookie";
    }
}

FaultPlan Plan(int badRequests, int status, std::string prefix = {}) {
    FaultPlan plan;
    plan.badRequestFirst = badRequests;
    plan.status = status;
    plan.pathPrefix = std::move(prefix);
    return plan;
}

const std::string kBanners = "/torvane/pc_bannerList.asp";
const std::string kFile = "/torvane/files/M0001/00000101.mp3?contentNo=M0001&fileNo=1";

INSTANTIATE_TEST_SUITE_P(
    Plans, StatusFaultTest,
    ::testing::Values(
        StatusCase{"NoFault", {}, {{kBanners, 200}, {"/torvane/nothing.asp", 404}}},
        StatusCase{
            "BadRequestTwice", Plan(2, 0), {{kBanners, 400}, {kBanners, 400}, {kBanners, 200}}},
        StatusCase{"NotFound", Plan(0, 404), {{kBanners, 404}, {kBanners, 404}}},
        StatusCase{"ServerError", Plan(0, 500), {{kBanners, 500}, {kFile, 500}}},
        StatusCase{"BadRequestThenServerError", Plan(1, 500), {{kBanners, 400}, {kBanners, 500}}},
        StatusCase{"OnlyFiles",
                   Plan(1, 500, "/torvane/files/"),
                   {{kBanners, 200}, {kFile, 400}, {kBanners, 200}, {kFile, 500}}}),
    [](const auto& info) { return info.param.label; });

struct FramingCase {
    std::string label;
    BodyFault fault;
    bool contentLength;  // announces the whole size
    bool chunked;
    bool complete;
};

void PrintTo(const FramingCase& c, std::ostream* out) {
    *out << c.label;
}

class BodyFramingTest : public ::testing::TestWithParam<FramingCase> {};

TEST_P(BodyFramingTest, SendsTheBodyAsChosen) {
    const FramingCase& c = GetParam();
    FaultPlan plan;
    plan.body = c.fault;
    plan.stallMs = 300;
    plan.slowChunkBytes = 4000;
    plan.slowDelayMs = 5;
    DemoService service(DemoService::DefaultDataDir(), plan);
    ASSERT_TRUE(service.Start(0)) << service.Error();

    const auto started = std::chrono::steady_clock::now();
    const RawExchange exchange = RawGet(service.Port(), kBodyTarget);
    const auto elapsed = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(exchange.status, 200);
    EXPECT_TRUE(exchange.closedByServer);
    EXPECT_EQ(exchange.Header("content-length"), c.contentLength ? std::to_string(kBodySize) : "");
    EXPECT_EQ(exchange.Header("transfer-encoding"), c.chunked ? "chunked" : "");

    const std::string body = c.chunked ? Dechunk(exchange.body) : exchange.body;
    const std::string expected = ExpectedBody();
    if (c.complete) {
        EXPECT_EQ(body, expected);
    } else {
        EXPECT_EQ(body, expected.substr(0, kBodySize / 2)) << "the first half, then nothing";
    }
    if (c.fault == BodyFault::Stall) {
        EXPECT_GE(elapsed, std::chrono::milliseconds(300)) << "held before closing";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Framings, BodyFramingTest,
    ::testing::Values(FramingCase{"ContentLength", BodyFault::None, true, false, true},
                      FramingCase{"NoContentLength", BodyFault::NoContentLength, false, false,
                                  true},
                      FramingCase{"Chunked", BodyFault::Chunked, false, true, true},
                      FramingCase{"Slow", BodyFault::Slow, true, false, true},
                      FramingCase{"CutOff", BodyFault::CutOff, true, false, false},
                      FramingCase{"Stall", BodyFault::Stall, true, false, false}),
    [](const auto& info) { return info.param.label; });

TEST(DemoServiceStop, EndsAStalledAnswerAtOnce) {
    FaultPlan plan;
    plan.body = BodyFault::Stall;
    plan.stallMs = 120000;
    DemoService service(DemoService::DefaultDataDir(), plan);
    ASSERT_TRUE(service.Start(0)) << service.Error();
    RawExchange exchange;
    std::thread client([&] { exchange = RawGet(service.Port(), kBodyTarget, 60000); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));

    const auto started = std::chrono::steady_clock::now();
    service.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    client.join();
    EXPECT_TRUE(exchange.closedByServer);
    EXPECT_EQ(exchange.body.size(), kBodySize / 2);
}

TEST(DemoServiceBenchmarkFiles, ServesLargeFilesAndPackagesOfTheChosenSize) {
    DemoSettings settings;
    settings.bigFileMiB = 2;
    settings.bigPackageMiB = 1;
    DemoService service(DemoService::DefaultDataDir(), {}, settings);
    ASSERT_TRUE(service.Start(0)) << service.Error();
    const int port = service.Port();
    const std::string cookie = SignIn(port, "demo", "demo1234");

    XmlNode catalogue;
    ASSERT_TRUE(ParseXml(
        Get(port, "/torvane/pc_contentsList.asp?userID=demo&soundType=larkspin&cookie=demo1234",
            cookie)
            .body,
        catalogue));
    const XmlNode* big = nullptr;
    for (const XmlNode* content : catalogue.FindAll("content")) {
        if (content->ChildText("contentNo") == "E9000") {
            big = content->FindAll("file").front();
        }
    }
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->ChildText("fileSize"), std::to_string(2 << 20));
    const std::string url = big->ChildText("fileURL");
    const RawExchange file = RawGet(port, url.substr(url.find("/torvane/")));
    EXPECT_EQ(file.Header("content-length"), std::to_string(2 << 20));
    EXPECT_EQ(file.body.size(), std::size_t{2} << 20);
    EXPECT_EQ(file.body.substr(0, 4), "RIFF");

    XmlNode updates;
    ASSERT_TRUE(ParseXml(Get(port, "/torvane/pc_systemUpdateFiles.asp", cookie).body, updates));
    const auto packages = updates.FindAll("factoryFile");
    ASSERT_EQ(packages.size(), 3u);
    const std::string packageUrl = packages.back()->ChildText("fileURL");
    const HttpAnswer zip = Get(port, packageUrl.substr(packageUrl.find("/torvane/")));
    EXPECT_EQ(std::to_string(zip.body.size()), packages.back()->ChildText("fileSize"));
    TempFolder unpacked;
    ASSERT_TRUE(ExtractZip(zip.body, unpacked.path()));
    EXPECT_EQ(std::filesystem::file_size(unpacked.path() / "bench" / "00000001.qvx"),
              std::uintmax_t{1} << 20);
}

}  // namespace
}  // namespace torvane::test
