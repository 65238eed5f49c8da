#include "service/xml_answer.h"

#include <cctype>
#include <limits>

namespace torvane {

std::string_view TrimLeadingSpace(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && std::isspace(static_cast<unsigned char>(text[start]))) ++start;
    return text.substr(start);
}

Status ParseXmlAnswer(std::string_view answer, ISaxReader& reader) {
    SaxOptions options;
    options.subject = "XML answer";
    // An answer the program cannot read is the service failing, whatever the parser's words.
    const Status parsed = ParseXml(TrimLeadingSpace(answer), reader, options);
    return parsed.ok() ? parsed : Status::Failure(OutcomeKind::ServiceFailed, parsed.message());
}

std::int32_t LeadingInt32(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) break;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> PositiveInt32(std::string_view text) {
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    }
    if (value == 0) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

}  // namespace torvane
