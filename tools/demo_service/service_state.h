// What the service remembers while it runs: the sessions behind its cookies and each account's
// children with the state of their name voices. Shared by the request threads, so every call
// locks.
#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "tools/demo_service/answers.h"
#include "tools/demo_service/demo_data.h"

namespace torvane::demo {

class ServiceState {
  public:
    using Clock = std::chrono::steady_clock;

    ServiceState(const DemoData& data, std::chrono::milliseconds voiceDelay);

    // A new session; returns its token (the cookie's value).
    std::string NewSession();
    bool HasSession(const std::string& token) const;
    // The sign-in page offered these form fields to the session for `user`; the form must come
    // back with the same values.
    void OfferSignIn(const std::string& token, const std::string& user,
                     std::vector<FormField> fields);
    // The posted form (decoded field values) completes the sign-in when it carries every offered
    // field with its value. Returns the signed-in user.
    std::optional<std::string> CompleteSignIn(const std::string& token,
                                              const std::map<std::string, std::string>& posted);
    // The user a session is signed in as.
    std::optional<std::string> SignedInUser(const std::string& token) const;
    // A session already signed in as `user`, for tests that skip the sign-in pages.
    std::string OpenSignedInSession(const std::string& user);

    // The account's children, name voices that were requested long enough ago being ready.
    std::vector<DemoChild> Children(const std::string& user);
    // Adds a child; returns its number.
    int AddChild(const std::string& user, DemoChild child);
    bool DeleteChild(const std::string& user, int childNo);
    // Asks for a child's name voice: "none" becomes "requested"; false for an unknown child.
    bool RequestVoice(const std::string& user, int childNo);

  private:
    struct Session {
        std::string offeredUser;
        std::vector<FormField> offeredFields;
        std::string user;  // empty until signed in
    };
    struct Child {
        DemoChild info;
        Clock::time_point requestedAt;
    };

    std::string NewTokenLocked();

    mutable std::mutex mutex_;
    std::mt19937_64 random_;
    std::map<std::string, Session> sessions_;
    std::map<std::string, std::vector<Child>> children_;
    std::chrono::milliseconds voiceDelay_;
    int nextChildNo_ = 1;
};

}  // namespace torvane::demo
