// The message sink of the tests: records every message and question, and answers questions as
// the test scripts them.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/message_sink.h"

namespace torvane::test {

class RecordingSink final : public IMessageSink {
  public:
    explicit RecordingSink(bool answer = false) : answer_(answer) {}

    void Show(MessageKind kind, std::string_view text) override;
    bool Ask(MessageKind kind, std::string_view question) override;

    // The texts shown, without the questions.
    std::vector<std::string> Texts() const;
    // Forgets everything recorded so far.
    void Clear();

    std::vector<std::pair<MessageKind, std::string>> shown;
    std::vector<std::pair<MessageKind, std::string>> asked;
    // Every text shown or asked, in the order the user would have seen them.
    std::vector<std::string> said;
    std::vector<bool> answers;  // given first, then the fixed answer
    // Called as each text is shown or asked: what the window looks like behind the message box.
    std::function<void(std::string_view)> onSaid;

  private:
    bool answer_;
};

}  // namespace torvane::test
