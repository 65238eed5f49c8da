// Shared helpers of the delivery tests: a private temporary folder, a recording message sink and
// small file helpers.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/message_sink.h"

namespace torvane::test {

// A unique folder below the system's temporary folder, removed with the object.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }

  private:
    std::filesystem::path path_;
};

// Records every message; questions get the scripted answer.
class RecordingSink final : public IMessageSink {
  public:
    explicit RecordingSink(bool answer = false) : answer_(answer) {}
    void Show(MessageKind kind, std::string_view text) override {
        shown.emplace_back(kind, std::string(text));
    }
    bool Ask(MessageKind kind, std::string_view question) override {
        asked.emplace_back(kind, std::string(question));
        if (!answers.empty()) {
            const bool answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        }
        return answer_;
    }
    std::vector<std::string> Texts() const;
    std::vector<std::pair<MessageKind, std::string>> shown;
    std::vector<std::pair<MessageKind, std::string>> asked;
    std::vector<bool> answers;  // given first, then the fixed answer

  private:
    bool answer_;
};

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace torvane::test
