// Signing in to the content service, without a window: the sign-in page is fetched and its form
// read, the form is posted back, and the service's userInfo answer ends the attempt. The dialog
// shows the message and saves the values; this file decides them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/messages.h"
#include "common/status.h"
#include "service/http_client.h"
#include "service/session.h"

namespace torvane {

// Dialog code of a successful sign-in.
inline constexpr int kLoginSucceeded = 200;

// Field names and values, in order: the sign-in page's form fields, later userInfo's children.
struct LoginForm {
    std::vector<std::string> names;
    std::vector<std::string> values;
    std::string action;  // the form's target, read from the sign-in page

    void Clear();
};

// The saved sign-in settings (section "LOGIN"): what the dialog writes after a sign-in.
struct SavedLogin {
    int ckId = 0;      // "CKID": 1 when the identifier is remembered
    int ckPass = 0;    // "CKPASS": 1 when the password is remembered too
    std::string id;    // "ID"
    std::string pass;  // "PASS"
};

struct LoginRequest {
    std::string userId;    // UTF-8, as typed
    std::string password;  // UTF-8, as typed
    bool rememberId = false;
    bool rememberPassword = false;
};

struct LoginOutcome {
    bool succeeded = false;  // the dialog ends with kLoginSucceeded
    // Why it did not: the service refused the account (NotSignedIn) or could not be reached or
    // read (ServiceFailed). Done after a success.
    OutcomeKind kind = OutcomeKind::ServiceFailed;
    int resultCode = -1;  // the page's LoginResultCode; -1 when not reached or absent
    std::string message;  // the sentence to show; empty on success
    std::string detail;   // the client's or parser's reason behind the message, if any
    SavedLogin saved;     // to write when succeeded
    LoginForm userInfo;   // the service's answer to the form

    // The attempt as every other step reports it: the sentence with its detail, and its kind.
    Status AsStatus() const {
        if (succeeded) return Status::Ok();
        return Status::Failure(kind, detail.empty() ? message : message + " (" + detail + ")");
    }
};

// Reads the sign-in page's form fields and action by plain text search. Fails with the message to
// show when a piece is missing.
Status ReadLoginForm(std::string_view page, LoginForm& form);

// 0 when the first "userLogin" field is "true" (any case); else the value of a later
// "loginResult" field; -1 when neither decides.
int LoginResultCode(const LoginForm& form);

// "name=value&..." with every value percent-encoded as the page gave its bytes.
std::string BuildFormBody(const LoginForm& form);

// Reads the userInfo answer into the form's lists. Fails with the parser's message.
Status ReadUserInfo(std::string_view answer, LoginForm& form);

// What the dialog saves for the two check boxes.
SavedLogin SavedLoginFor(const LoginRequest& request);

// Runs one sign-in attempt against the session's service and, on success, leaves the session
// signed in (identifier, password and cookie).
LoginOutcome SignIn(const LoginRequest& request, ServiceSession& session,
                    const HttpLimits& limits = HttpLimits{});

}  // namespace torvane
