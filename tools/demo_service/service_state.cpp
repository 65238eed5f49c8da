#include "tools/demo_service/service_state.h"

#include <algorithm>
#include <cstdio>

namespace torvane::demo {

ServiceState::ServiceState(const DemoData& data, std::chrono::milliseconds voiceDelay)
    : random_(std::random_device{}()), voiceDelay_(voiceDelay) {
    const Clock::time_point now = Clock::now();
    for (const DemoAccount& account : data.accounts) {
        auto& children = children_[account.id];
        for (const DemoChild& child : account.children) {
            children.push_back({child, now});
            nextChildNo_ = std::max(nextChildNo_, child.childNo + 1);
        }
    }
}

std::string ServiceState::NewTokenLocked() {
    char token[33];
    std::snprintf(token, sizeof token, "%016llx%016llx", static_cast<unsigned long long>(random_()),
                  static_cast<unsigned long long>(random_()));
    return token;
}

std::string ServiceState::NewSession() {
    std::lock_guard lock(mutex_);
    std::string token = NewTokenLocked();
    sessions_[token] = {};
    return token;
}

bool ServiceState::HasSession(const std::string& token) const {
    std::lock_guard lock(mutex_);
    return sessions_.contains(token);
}

void ServiceState::OfferSignIn(const std::string& token, const std::string& user,
                               std::vector<FormField> fields) {
    std::lock_guard lock(mutex_);
    auto it = sessions_.find(token);
    if (it != sessions_.end()) {
        it->second.offeredUser = user;
        it->second.offeredFields = std::move(fields);
    }
}

std::optional<std::string> ServiceState::CompleteSignIn(
    const std::string& token, const std::map<std::string, std::string>& posted) {
    std::lock_guard lock(mutex_);
    auto it = sessions_.find(token);
    if (it == sessions_.end() || it->second.offeredUser.empty()) {
        return std::nullopt;
    }
    Session& session = it->second;
    for (const FormField& field : session.offeredFields) {
        auto value = posted.find(field.name);
        if (value == posted.end() || value->second != field.value) {
            return std::nullopt;
        }
    }
    session.user = session.offeredUser;
    return session.user;
}

std::optional<std::string> ServiceState::SignedInUser(const std::string& token) const {
    std::lock_guard lock(mutex_);
    auto it = sessions_.find(token);
    if (it == sessions_.end() || it->second.user.empty()) {
        return std::nullopt;
    }
    return it->second.user;
}

std::string ServiceState::OpenSignedInSession(const std::string& user) {
    std::lock_guard lock(mutex_);
    std::string token = NewTokenLocked();
    sessions_[token].user = user;
    return token;
}

std::vector<DemoChild> ServiceState::Children(const std::string& user) {
    std::lock_guard lock(mutex_);
    std::vector<DemoChild> out;
    const Clock::time_point now = Clock::now();
    for (Child& child : children_[user]) {
        if (child.info.voice == "requested" && now - child.requestedAt >= voiceDelay_) {
            child.info.voice = "exist";
        }
        out.push_back(child.info);
    }
    return out;
}

int ServiceState::AddChild(const std::string& user, DemoChild child) {
    std::lock_guard lock(mutex_);
    child.childNo = nextChildNo_++;
    child.voice = "none";
    children_[user].push_back({child, Clock::now()});
    return child.childNo;
}

bool ServiceState::DeleteChild(const std::string& user, int childNo) {
    std::lock_guard lock(mutex_);
    auto& children = children_[user];
    return std::erase_if(children, [&](const Child& c) { return c.info.childNo == childNo; }) > 0;
}

bool ServiceState::RequestVoice(const std::string& user, int childNo) {
    std::lock_guard lock(mutex_);
    for (Child& child : children_[user]) {
        if (child.info.childNo == childNo) {
            if (child.info.voice == "none") {
                child.info.voice = "requested";
                child.requestedAt = Clock::now();
            }
            return true;
        }
    }
    return false;
}

}  // namespace torvane::demo
