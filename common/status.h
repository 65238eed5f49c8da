// How every step of the core reports its end: a Status says whether it worked and, when not, what
// kind of failure it was, and names the sentence of the catalogue that tells it with its
// arguments; a Result carries a value when it worked. The core never speaks to the user in the
// middle of a rule: it returns this, and each front end words it (the desktop app a message box,
// torvane-cli a line on stderr, an exit status and a JSON error), so the kind is what callers
// decide on, never the sentence.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/message_id.h"

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
    // A success with a sentence to tell the user ("삭제가 완료되었습니다.").
    static Status Done(Message said) { return Status(OutcomeKind::Done, std::move(said)); }
    // A failure in words from outside the catalogue (the service's, a library's); the message
    // may be empty when the step has no words for why.
    static Status Failure(std::string message) {
        return Failure(OutcomeKind::Failed, std::move(message));
    }
    static Status Failure(OutcomeKind kind, std::string message) {
        return Failure(
            kind, message.empty() ? Message{} : Message{MessageId::Text, {std::move(message)}});
    }
    // A failure of a known kind, told by a sentence of the catalogue; Done is taken as Failed,
    // so a failure never reads as success.
    static Status Failure(OutcomeKind kind, Message said) {
        return Status(kind == OutcomeKind::Done ? OutcomeKind::Failed : kind, std::move(said));
    }

    // Sentences that follow the main one (a success that left a file behind, a note of each
    // recording put back); the outcome's kind stays.
    Status&& WithNote(Message note) && {
        notes_.push_back(std::move(note));
        return std::move(*this);
    }
    void AddNote(Message note) { notes_.push_back(std::move(note)); }

    bool ok() const { return kind_ == OutcomeKind::Done; }
    OutcomeKind kind() const { return kind_; }
    // Which sentence tells what happened, and its arguments; None when there is nothing to say.
    const Message& said() const { return said_; }
    MessageId id() const { return said_.id; }
    const std::vector<Message>& notes() const { return notes_; }
    // The sentence in the catalogue's words: why the step failed, or what a success says.
    std::string message() const { return MessageText(said_); }

  private:
    Status(OutcomeKind kind, Message said) : kind_(kind), said_(std::move(said)) {}

    OutcomeKind kind_;
    Message said_;
    std::vector<Message> notes_;
};

template <typename T>
class [[nodiscard]] Result {
  public:
    Result(T value) : value_(std::move(value)), status_(Status::Ok()) {}  // NOLINT: implicit
    Result(Status failure) : status_(std::move(failure)) {}               // NOLINT: implicit

    bool ok() const { return status_.ok() && value_.has_value(); }
    const Status& status() const { return status_; }
    OutcomeKind kind() const { return status_.kind(); }
    std::string message() const { return status_.message(); }
    const T& value() const { return *value_; }
    T& value() { return *value_; }

  private:
    std::optional<T> value_;
    Status status_;
};

}  // namespace torvane
