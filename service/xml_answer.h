// The service's XML answers are all read the same way: the whole text, without its leading white
// space, goes through one SAX pass; a reader collects element texts by state, and the answer is
// good when the parser reported no error.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace torvane {

class IXmlAnswerReader {
  public:
    virtual ~IXmlAnswerReader() = default;
    virtual void OnStart(std::string_view name) = 0;
    virtual void OnEnd(std::string_view name) = 0;
    // One run of character data; a text is often split into runs (always at entity references).
    virtual void OnText(std::string_view text) = 0;
};

// Parses `answer` with `reader`. Returns the parser's first error message, empty when the answer
// was well formed.
std::string ParseXmlAnswer(std::string_view answer, IXmlAnswerReader& reader);

// Collects one element's text across its runs: reset at each element start, so a reader can
// store the whole text after every run.
class ElementText {
  public:
    void Start(std::string_view name) {
        element_.assign(name);
        text_.clear();
        open_ = true;
    }
    void End() { open_ = false; }
    // Appends a run; returns false when text is not expected (after an end tag).
    bool Append(std::string_view run) {
        if (!open_) return false;
        text_.append(run);
        return true;
    }
    const std::string& Element() const { return element_; }
    const std::string& Text() const { return text_; }

  private:
    std::string element_;
    std::string text_;
    bool open_ = false;
};

// The number at the start of a decimal text, the way C's atoi reads it: leading blanks, an
// optional sign, digits; 0 without digits; clamped to the 32-bit range.
std::int32_t LeadingInt32(std::string_view text);

// The text without its leading white space.
std::string_view TrimLeadingSpace(std::string_view text);

}  // namespace torvane
