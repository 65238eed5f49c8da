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
    // How the attempt ended: Done, or NotSignedIn when the account was refused (EnterId,
    // EnterPassword, WrongPassword, WrongId), or ServiceFailed when the service could not be
    // reached or read (CannotConnect, UnknownServerError, BadData, a tag missing from the
    // sign-in page). The client's or parser's reason, when there is one, is its note.
    Status status = Status::Failure(OutcomeKind::ServiceFailed, Message{});
    SavedLogin saved;    // to write when it succeeded
    LoginForm userInfo;  // the service's answer to the form

    bool ok() const { return status.ok(); }
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
// signed in (identifier, password and cookie). The dialog ends with kLoginSucceeded when it is ok.
LoginOutcome SignIn(const LoginRequest& request, ServiceSession& session,
                    const HttpLimits& limits = HttpLimits{});

}  // namespace torvane
