// How the service client, the list fetches and sign-in report failure: a Status says whether a
// step worked and, when not, why in one line; a Result carries a value when it worked.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace torvane {

class [[nodiscard]] Status {
  public:
    static Status Ok() { return Status(true, {}); }
    // A failure; the message may be empty when the step has no words for why.
    static Status Failure(std::string message) { return Status(false, std::move(message)); }

    bool ok() const { return ok_; }
    // Why the step failed; empty after a success.
    const std::string& message() const { return message_; }

  private:
    Status(bool ok, std::string message) : ok_(ok), message_(std::move(message)) {}

    bool ok_;
    std::string message_;
};

template <typename T>
class [[nodiscard]] Result {
  public:
    Result(T value) : value_(std::move(value)), status_(Status::Ok()) {}  // NOLINT: implicit
    Result(Status failure) : status_(std::move(failure)) {}               // NOLINT: implicit

    bool ok() const { return status_.ok() && value_.has_value(); }
    const Status& status() const { return status_; }
    const std::string& message() const { return status_.message(); }
    const T& value() const { return *value_; }
    T& value() { return *value_; }

  private:
    std::optional<T> value_;
    Status status_;
};

}  // namespace torvane
