#include "service/login.h"

#include <optional>

#include "common/text_codec.h"
#include "service/endpoints.h"
#include "service/xml_answer.h"

namespace torvane {
namespace {

constexpr std::size_t kMaxFieldLength = 1023;

// The text between the first two double quotes at or after `from`; `next` is set past the
// closing quote.
std::optional<std::string> QuotedAfter(std::string_view page, std::size_t from, std::size_t& next) {
    const std::size_t open = page.find('"', from);
    if (open == std::string_view::npos) return std::nullopt;
    const std::size_t close = page.find('"', open + 1);
    if (close == std::string_view::npos) return std::nullopt;
    next = close + 1;
    return std::string(page.substr(open + 1, std::min(close - open - 1, kMaxFieldLength)));
}

// Reads the children of userInfo as name and value pairs.
class UserInfoReader final : public ISaxReader {
  public:
    explicit UserInfoReader(LoginForm& form) : form_(form) {}

    void OnStart(std::string_view name, const SaxAttributes&) override {
        if (name == "userInfo") {
            inUserInfo_ = true;
            return;
        }
        if (!inUserInfo_) return;
        form_.names.emplace_back(name);
        form_.values.emplace_back();  // names and values stay parallel, also for empty fields
        collecting_ = true;
    }
    void OnEnd(std::string_view name) override {
        collecting_ = false;
        if (name == "userInfo") inUserInfo_ = false;
    }
    void OnText(std::string_view text) override {
        if (inUserInfo_ && collecting_) form_.values.back().append(text);
    }

  private:
    LoginForm& form_;
    bool inUserInfo_ = false;
    bool collecting_ = false;
};

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return ToLowerAscii(a) == b;
}

}  // namespace

void LoginForm::Clear() {
    names.clear();
    values.clear();
    action.clear();
}

Status ReadLoginForm(std::string_view page, LoginForm& form) {
    std::size_t input = page.find("input");
    while (input != std::string_view::npos) {
        const std::size_t name = page.find("name", input);
        if (name == std::string_view::npos) {
            return Status::Failure(OutcomeKind::ServiceFailed, Say(MessageId::NoNameTag));
        }
        std::size_t next = 0;
        std::optional<std::string> fieldName = QuotedAfter(page, name, next);
        if (!fieldName) {
            return Status::Failure(OutcomeKind::ServiceFailed, Say(MessageId::NoQuoteTag));
        }
        const std::size_t value = page.find("value", next);
        if (value == std::string_view::npos) {
            return Status::Failure(OutcomeKind::ServiceFailed, Say(MessageId::NoValueTag));
        }
        std::optional<std::string> fieldValue = QuotedAfter(page, value, next);
        if (!fieldValue) {
            return Status::Failure(OutcomeKind::ServiceFailed, Say(MessageId::NoQuoteTag));
        }
        form.names.push_back(std::move(*fieldName));
        form.values.push_back(std::move(*fieldValue));
        input = page.find("input", next);
    }
    const std::size_t action = page.find("document.pcForm.action");
    if (action == std::string_view::npos) {
        return Status::Failure(OutcomeKind::ServiceFailed, Say(MessageId::NoActionTag));
    }
    std::size_t next = 0;
    std::optional<std::string> target = QuotedAfter(page, action, next);
    if (!target) {
        return Status::Failure(OutcomeKind::ServiceFailed, Say(MessageId::NoQuoteTag));
    }
    form.action = std::move(*target);
    return Status::Ok();
}

int LoginResultCode(const LoginForm& form) {
    bool failed = false;  // userLogin said no: the reason follows in loginResult
    for (std::size_t i = 0; i < form.names.size() && i < form.values.size(); ++i) {
        if (!failed) {
            if (form.names[i] != "userLogin") continue;
            if (EqualsNoCase(form.values[i], "true")) return 0;
            failed = true;
        } else if (form.names[i] == "loginResult") {
            return LeadingInt32(form.values[i]);
        }
    }
    return -1;
}

std::string BuildFormBody(const LoginForm& form) {
    std::string body;
    for (std::size_t i = 0; i < form.names.size() && i < form.values.size(); ++i) {
        if (i > 0) body += '&';
        // The page's values go back as the bytes the page gave, in the page's own code page.
        body += form.names[i] + "=" + UrlEncode(form.values[i]);
    }
    return body;
}

Status ReadUserInfo(std::string_view answer, LoginForm& form) {
    UserInfoReader reader(form);
    return ParseXmlAnswer(answer, reader);
}

SavedLogin SavedLoginFor(const LoginRequest& request) {
    SavedLogin saved;
    saved.ckId = request.rememberId ? 1 : 0;
    saved.ckPass = request.rememberId && request.rememberPassword ? 1 : 0;
    if (saved.ckId) saved.id = request.userId;
    if (saved.ckPass) saved.pass = request.password;
    return saved;
}

namespace {

// An attempt that ended short of signing in, told by its sentence and, when there is one, the
// client's or parser's reason as a note after it.
LoginOutcome Ended(OutcomeKind kind, MessageId sentence, const std::string& reason = {}) {
    LoginOutcome outcome;
    outcome.status = Status::Failure(kind, Say(sentence));
    if (!reason.empty()) outcome.status.AddNote(Message{MessageId::Text, {reason}});
    return outcome;
}

}  // namespace

LoginOutcome SignIn(const LoginRequest& request, ServiceSession& session,
                    const HttpLimits& limits) {
    if (request.userId.empty()) return Ended(OutcomeKind::NotSignedIn, MessageId::EnterId);
    if (request.password.empty()) return Ended(OutcomeKind::NotSignedIn, MessageId::EnterPassword);

    // First request: the sign-in page, with a fresh session.
    LoginForm form;
    session.cookie.clear();
    std::optional<std::string> page;
    const Status reached =
        RequestText(LoginPageUrl(session.baseUrl, request.userId, request.password), std::nullopt,
                    session.cookie, page, limits);
    if (!reached.ok())
        return Ended(OutcomeKind::ServiceFailed, MessageId::CannotConnect, reached.message());
    if (Status read = ReadLoginForm(page.value_or(""), form); !read.ok()) {
        LoginOutcome outcome;
        outcome.status = std::move(read);
        return outcome;
    }
    session.userId = request.userId;
    session.password = request.password;

    // The page's result code chooses the sentence; only 0 goes on.
    switch (LoginResultCode(form)) {
        case 0:
            break;
        case 1:
            return Ended(OutcomeKind::NotSignedIn, MessageId::WrongPassword);
        case 2:
            return Ended(OutcomeKind::NotSignedIn, MessageId::WrongId);
        default:
            return Ended(OutcomeKind::ServiceFailed, MessageId::UnknownServerError);
    }

    // Second request: the form goes back to its action, now inside the session.
    const std::string body = BuildFormBody(form);
    std::optional<std::string> answer;
    const Status sent = RequestText(LoginActionUrl(session.baseUrl, form.action), body,
                                    session.cookie, answer, limits);
    form.names.clear();
    form.values.clear();
    const Status accepted = sent.ok() ? ReadUserInfo(answer.value_or(""), form) : sent;
    if (!accepted.ok())
        return Ended(OutcomeKind::ServiceFailed, MessageId::BadData, accepted.message());
    LoginOutcome outcome;
    outcome.status = Status::Ok();
    outcome.userInfo = std::move(form);
    outcome.saved = SavedLoginFor(request);
    return outcome;
}

}  // namespace torvane
