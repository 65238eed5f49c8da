#include "service/list_fetch.h"

namespace torvane {

Status FetchAnswer(std::string_view url, std::string& cookie, ISaxReader& reader,
                   const HttpLimits& limits) {
    std::optional<std::string> answer;
    Status sent = RequestText(url, std::nullopt, cookie, answer, limits);
    if (!sent.ok()) return sent;
    return ParseXmlAnswer(answer.value_or(""), reader);
}

}  // namespace torvane
