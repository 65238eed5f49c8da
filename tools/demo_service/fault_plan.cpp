#include "tools/demo_service/fault_plan.h"

#include <array>
#include <utility>

namespace torvane::demo {
namespace {

constexpr std::array<std::pair<BodyFault, std::string_view>, 7> kNames = {{
    {BodyFault::None, "none"},
    {BodyFault::Stall, "stall"},
    {BodyFault::CutOff, "cutoff"},
    {BodyFault::NoContentLength, "no-length"},
    {BodyFault::NoContentLengthCut, "no-length-cutoff"},
    {BodyFault::Chunked, "chunked"},
    {BodyFault::Slow, "slow"},
}};

}  // namespace

std::optional<BodyFault> ParseBodyFault(std::string_view name) {
    for (const auto& [fault, text] : kNames) {
        if (text == name) {
            return fault;
        }
    }
    return std::nullopt;
}

std::string_view BodyFaultName(BodyFault fault) {
    for (const auto& [f, text] : kNames) {
        if (f == fault) {
            return text;
        }
    }
    return "none";
}

}  // namespace torvane::demo
