#include "tests/support/recording_sink.h"

namespace torvane::test {

void RecordingSink::Show(MessageKind kind, std::string_view text) {
    shown.emplace_back(kind, std::string(text));
    said.emplace_back(text);
    if (onSaid) onSaid(text);
}

bool RecordingSink::Ask(MessageKind kind, std::string_view question) {
    asked.emplace_back(kind, std::string(question));
    said.emplace_back(question);
    if (onSaid) onSaid(question);
    if (!answers.empty()) {
        const bool answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    return answer_;
}

std::vector<std::string> RecordingSink::Texts() const {
    std::vector<std::string> texts;
    for (const auto& [kind, text] : shown) texts.push_back(text);
    return texts;
}

void RecordingSink::Clear() {
    shown.clear();
    asked.clear();
    said.clear();
}

}  // namespace torvane::test
