// Every sentence the program says to the user goes through one sink: message boxes in the
// desktop app, the terminal in torvane-cli, a recorder in tests. Texts are UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace torvane {

// The caption of every message box.
inline constexpr std::string_view kMessageCaption = "Torvane";

enum class MessageKind {
    Plain,        // no icon: most page messages
    Information,  // device messages
    Exclamation,
    Error,
    Question,  // a yes/no question that is no warning: "stop the download?"
};

class IMessageSink {
  public:
    virtual ~IMessageSink() = default;
    // Shows a sentence and returns when the user has read it.
    virtual void Show(MessageKind kind, std::string_view text) = 0;
    // Asks a yes/no question; true for yes.
    virtual bool Ask(MessageKind kind, std::string_view question) = 0;
};

}  // namespace torvane
