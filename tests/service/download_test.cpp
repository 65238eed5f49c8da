// File downloads: where they go, what is stored, and when a transfer counts as whole.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "service/http_client.h"
#include "service/session.h"
#include "tests/support/test_server.h"

namespace torvane {
namespace {

using std::chrono::milliseconds;
using test::TestServer;

class MemoryOutput final : public IByteOutput {
  public:
    explicit MemoryOutput(std::size_t limit = std::string::npos) : limit_(limit) {}
    bool Write(const char* data, std::size_t size) override {
        if (bytes.size() + size > limit_) return false;
        bytes.append(data, size);
        return true;
    }
    std::string bytes;

  private:
    std::size_t limit_;
};

// Counts chunks and lets a test act on a chosen chunk.
class ProgressProbe final : public IFileProgressEvent {
  public:
    void OnProgress(std::int32_t count) override {
        ++chunks;
        total += count;
        if (onChunk) onChunk(chunks);
    }
    int chunks = 0;
    std::int64_t total = 0;
    std::function<void(int)> onChunk;
};

std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 % 256);
    return bytes;
}

// Serves `bytes` in small pieces, so that a transfer takes many chunks. The provider keeps its
// own copy: it may still be sending after the client gave up and the test ended.
void ServeSlowly(httplib::Response& response, const std::string& bytes) {
    auto owned = std::make_shared<const std::string>(bytes);
    response.set_content_provider(
        owned->size(), "application/octet-stream",
        [owned](std::size_t offset, std::size_t, httplib::DataSink& sink) {
            const std::size_t piece = std::min<std::size_t>(4096, owned->size() - offset);
            std::this_thread::sleep_for(milliseconds(2));
            sink.write(owned->data() + offset, piece);
            return true;
        });
}

class DownloadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        session.baseUrl = server.BaseUrl();
        session.cookie = "ASPSESSIONID=ABC";
    }

    TestServer server;
    ServiceSession session;
};

TEST_F(DownloadTest, FetchesThePathFromTheConfiguredServiceWithTheSessionCookie) {
    const std::string bytes = Pattern(100000);
    server.On("/files/a.qvx", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(bytes, "application/octet-stream");
    });
    MemoryOutput output;
    ProgressProbe progress;
    ASSERT_TRUE(DownloadToFile(session, "http://elsewhere.invalid/files/a.qvx?k=1&n=2", output,
                               &progress, nullptr, false)
                    .ok());
    EXPECT_EQ(output.bytes, bytes);
    EXPECT_EQ(progress.total, 100000);
    const auto sent = server.LastRequest();
    EXPECT_EQ(sent.target, "/files/a.qvx?k=1&n=2");
    EXPECT_EQ(sent.version, "HTTP/1.1");
    EXPECT_EQ(sent.Header("Cookie"), "ASPSESSIONID=ABC");
    EXPECT_EQ(sent.Header("User-Agent"), "Torvane");
    EXPECT_EQ(sent.Header("Connection"), "close");
}

TEST_F(DownloadTest, AddOneStoresEveryByteIncreasedByOne) {
    server.On("/f", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(std::string("\x00\x7f\xff\x41", 4), "application/octet-stream");
    });
    for (const bool addOne : {false, true}) {
        MemoryOutput output;
        ASSERT_TRUE(
            DownloadToFile(session, server.BaseUrl() + "/f", output, nullptr, nullptr, addOne)
                .ok());
        EXPECT_EQ(output.bytes,
                  addOne ? std::string("\x01\x80\x00\x42", 4) : std::string("\x00\x7f\xff\x41", 4));
    }
}

TEST_F(DownloadTest, WritesIntoTheCallersFile) {
    server.On("/f", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("sound", "application/octet-stream");
    });
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(DownloadToFile(session, "/f", file, nullptr, nullptr, false).ok());
    std::rewind(file);
    char read[16] = {};
    EXPECT_EQ(std::fread(read, 1, sizeof read, file), 5u);
    EXPECT_STREQ(read, "sound");
    std::fclose(file);
}

// Every way a transfer can go wrong must leave the caller knowing the file is not whole.
enum class Fault { NotFound, ServerError, CutOff, Stalled, DiskFull };

class DownloadFaultTest : public DownloadTest, public ::testing::WithParamInterface<Fault> {};

TEST_P(DownloadFaultTest, ReportsFailure) {
    const Fault fault = GetParam();
    const std::string bytes = Pattern(50000);
    server.On("/f", [&](const httplib::Request&, httplib::Response& response) {
        switch (fault) {
            case Fault::NotFound:
                response.status = 404;
                response.set_content("missing", "text/html");
                break;
            case Fault::ServerError:
                response.status = 500;
                response.set_content("oops", "text/html");
                break;
            case Fault::CutOff:
            case Fault::Stalled:
                response.set_content_provider(
                    bytes.size(), "application/octet-stream",
                    [&](std::size_t, std::size_t, httplib::DataSink& sink) {
                        sink.write(bytes.data(), 20000);
                        if (fault == Fault::Stalled) server.Stall(milliseconds(10000));
                        return false;
                    });
                break;
            case Fault::DiskFull:
                response.set_content(bytes, "application/octet-stream");
                break;
        }
    });
    HttpLimits limits;
    limits.receiveTimeout = milliseconds(300);
    MemoryOutput output(fault == Fault::DiskFull ? 10000 : std::string::npos);
    const Status got = DownloadToFile(session, "/f", output, nullptr, nullptr, false, limits);
    EXPECT_EQ(got.kind(), OutcomeKind::ServiceFailed) << got.message();
    EXPECT_FALSE(got.message().empty());
    if (fault == Fault::NotFound || fault == Fault::ServerError) {
        EXPECT_TRUE(output.bytes.empty());
    }
}

std::string FaultName(const ::testing::TestParamInfo<Fault>& info) {
    const char* names[] = {"NotFound", "ServerError", "CutOff", "Stalled", "DiskFull"};
    return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Faults, DownloadFaultTest,
                         ::testing::Values(Fault::NotFound, Fault::ServerError, Fault::CutOff,
                                           Fault::Stalled, Fault::DiskFull),
                         FaultName);

TEST_F(DownloadTest, BodyEndedByClosingTheConnectionIsWhole) {
    const std::string bytes = Pattern(30000);
    server.On("/f", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content_provider(
            "application/octet-stream", [&](std::size_t offset, httplib::DataSink& sink) {
                if (offset < bytes.size())
                    sink.write(bytes.data() + offset,
                               std::min<std::size_t>(7000, bytes.size() - offset));
                else
                    sink.done();
                return true;
            });
    });
    MemoryOutput output;
    EXPECT_TRUE(DownloadToFile(session, "/f", output, nullptr, nullptr, false).ok());
    EXPECT_EQ(output.bytes, bytes);
}

TEST_F(DownloadTest, CancelEndsAfterTheCurrentChunkAndSaysSo) {
    const std::string bytes = Pattern(400000);
    server.On("/f", [&](const httplib::Request&, httplib::Response& response) {
        ServeSlowly(response, bytes);
    });
    DownloadControl control;
    ProgressProbe progress;
    progress.onChunk = [&](int chunk) {
        if (chunk == 2) control.cancel = true;
    };
    MemoryOutput output;
    // Stopped, and said so: never taken for a whole file.
    EXPECT_EQ(DownloadToFile(session, "/f", output, &progress, &control, false).kind(),
              OutcomeKind::Cancelled);
    EXPECT_EQ(progress.chunks, 2);
    EXPECT_EQ(static_cast<std::int64_t>(output.bytes.size()), progress.total);
    EXPECT_LT(output.bytes.size(), bytes.size());
}

TEST_F(DownloadTest, PauseLongerThanTheReceiveTimeoutResumesAndCompletes) {
    const std::string bytes = Pattern(200000);
    server.On("/f", [&](const httplib::Request&, httplib::Response& response) {
        ServeSlowly(response, bytes);
    });
    HttpLimits limits;
    limits.receiveTimeout = milliseconds(1500);
    limits.pausePoll = milliseconds(20);
    DownloadControl control;
    std::thread resume;
    ProgressProbe progress;
    progress.onChunk = [&](int chunk) {
        if (chunk != 1) return;
        control.pause = true;
        resume = std::thread([&] {
            std::this_thread::sleep_for(milliseconds(2500));
            control.pause = false;
        });
    };
    MemoryOutput output;
    const Status got = DownloadToFile(session, "/f", output, &progress, &control, false, limits);
    resume.join();
    EXPECT_TRUE(got.ok()) << got.message();
    EXPECT_EQ(output.bytes, bytes);
}

TEST_F(DownloadTest, CancelDuringAPauseEndsTheTransfer) {
    const std::string bytes = Pattern(200000);
    server.On("/f", [&](const httplib::Request&, httplib::Response& response) {
        ServeSlowly(response, bytes);
    });
    HttpLimits limits;
    limits.pausePoll = milliseconds(20);
    DownloadControl control;
    std::thread cancel;
    ProgressProbe progress;
    progress.onChunk = [&](int chunk) {
        if (chunk != 1) return;
        control.pause = true;
        cancel = std::thread([&] {
            std::this_thread::sleep_for(milliseconds(200));
            control.cancel = true;
        });
    };
    MemoryOutput output;
    const Status got = DownloadToFile(session, "/f", output, &progress, &control, false, limits);
    cancel.join();
    EXPECT_EQ(got.kind(), OutcomeKind::Cancelled);
    EXPECT_EQ(progress.chunks, 1);
}

TEST_F(DownloadTest, NoConfiguredServiceFailsWithoutARequest) {
    session.baseUrl = "";
    MemoryOutput output;
    EXPECT_EQ(DownloadToFile(session, "/f", output, nullptr, nullptr, false).kind(),
              OutcomeKind::ServiceFailed);
    EXPECT_TRUE(server.Requests().empty());
}

}  // namespace
}  // namespace torvane
