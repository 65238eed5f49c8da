// How every step of the core reports its end: a Status says whether it worked and, when not, what
// kind of failure it was and why in one line; a Result carries a value when it worked. Each front
// end words the kind its own way (the desktop app a message box, torvane-cli an exit status and a
// JSON error), so the kind is what callers decide on, never the sentence.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace torvane {

enum class OutcomeKind {
    Done,
    Failed,          // any failure without a kind of its own
    Cancelled,       // the user stopped it or answered No
    Refused,         // a rule or another program kept it from starting; nothing changed
    Usage,           // the request itself was malformed
    NotSignedIn,     // no account, or the service refused the identifier or password
    ServiceFailed,   // the content service could not be reached or answered wrongly
    CardUnreadable,  // no card, the card left, or its databases could not be read
    CardFull,        // no room on the card, or the card did not take a write
    UnknownItem,     // a content, child or package the account or card does not have
};

// The stable name of a kind, for scripts: "done", "failed", "cancelled", "refused", "usage",
// "notSignedIn", "serviceFailed", "cardUnreadable", "cardFull", "unknownItem".
constexpr std::string_view OutcomeKindKey(OutcomeKind kind) {
    switch (kind) {
        case OutcomeKind::Done:
            return "done";
        case OutcomeKind::Failed:
            return "failed";
        case OutcomeKind::Cancelled:
            return "cancelled";
        case OutcomeKind::Refused:
            return "refused";
        case OutcomeKind::Usage:
            return "usage";
        case OutcomeKind::NotSignedIn:
            return "notSignedIn";
        case OutcomeKind::ServiceFailed:
            return "serviceFailed";
        case OutcomeKind::CardUnreadable:
            return "cardUnreadable";
        case OutcomeKind::CardFull:
            return "cardFull";
        case OutcomeKind::UnknownItem:
            return "unknownItem";
    }
    return "failed";
}

class [[nodiscard]] Status {
  public:
    static Status Ok() { return Status(OutcomeKind::Done, {}); }
    // A failure; the message may be empty when the step has no words for why.
    static Status Failure(std::string message) {
        return Status(OutcomeKind::Failed, std::move(message));
    }
    // A failure of a known kind; Done is taken as Failed, so a failure never reads as success.
    static Status Failure(OutcomeKind kind, std::string message) {
        return Status(kind == OutcomeKind::Done ? OutcomeKind::Failed : kind, std::move(message));
    }

    bool ok() const { return kind_ == OutcomeKind::Done; }
    OutcomeKind kind() const { return kind_; }
    // Why the step failed; empty after a success.
    const std::string& message() const { return message_; }

  private:
    Status(OutcomeKind kind, std::string message) : kind_(kind), message_(std::move(message)) {}

    OutcomeKind kind_;
    std::string message_;
};

template <typename T>
class [[nodiscard]] Result {
  public:
    Result(T value) : value_(std::move(value)), status_(Status::Ok()) {}  // NOLINT: implicit
    Result(Status failure) : status_(std::move(failure)) {}               // NOLINT: implicit

    bool ok() const { return status_.ok() && value_.has_value(); }
    const Status& status() const { return status_; }
    OutcomeKind kind() const { return status_.kind(); }
    const std::string& message() const { return status_.message(); }
    const T& value() const { return *value_; }
    T& value() { return *value_; }

  private:
    std::optional<T> value_;
    Status status_;
};

}  // namespace torvane
