// Faults the service can be told to show, so the program's tests see how it copes with a
// misbehaving server. One plan holds for a whole run.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace torvane::demo {

// How an answer body goes over the wire. Without a fault a body carries Content-Length.
enum class BodyFault {
    None,
    Stall,            // Content-Length announced, the first half sent, then nothing
    CutOff,           // Content-Length announced, the first half sent, then the connection closed
    NoContentLength,  // no Content-Length: the body ends when the connection closes
    NoContentLengthCut,  // no Content-Length, the first half sent, then the connection closed
    Chunked,             // Transfer-Encoding: chunked
    Slow,                // Content-Length, the body trickling in small pieces
};

struct FaultPlan {
    // Only requests whose path starts with this are touched; empty means every request.
    std::string pathPrefix;
    // The first N touched requests are answered with status 400.
    int badRequestFirst = 0;
    // 404 or 500: every touched request after those answers with this status (0: none).
    int status = 0;
    BodyFault body = BodyFault::None;
    // Slow bodies send this many bytes, then wait this long.
    int slowChunkBytes = 1024;
    int slowDelayMs = 20;
    // A stalled body holds the connection this long (or until the service stops); by default a
    // little longer than the program's 30-second receive time-out.
    int stallMs = 35000;
};

// "stall", "cutoff", "no-length", "chunked", "slow", "none".
std::optional<BodyFault> ParseBodyFault(std::string_view name);
std::string_view BodyFaultName(BodyFault fault);

}  // namespace torvane::demo
