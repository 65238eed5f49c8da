#include "children/children_service.h"

#include <optional>

#include "service/xml_answer.h"

namespace torvane {
namespace {

class ChildrenReader final : public IXmlAnswerReader {
  public:
    explicit ChildrenReader(ChildrenList& list) : list_(list) {}

    void OnStart(std::string_view name) override {
        text_.Start(name);
        if (name == "childInfo") {
            child_ = ChildInfo{};
            inChild_ = true;
        } else if (name == "nameFile") {
            nameFile_ = NameFile{};
            inNameFile_ = true;
        }
    }

    void OnEnd(std::string_view name) override {
        text_.End();
        // A name file outside a child has no child to belong to and is dropped.
        if (name == "nameFile" && inNameFile_) {
            if (inChild_) child_.nameFiles.push_back(nameFile_);
            inNameFile_ = false;
        } else if (name == "childInfo" && inChild_) {
            list_.children.push_back(std::move(child_));
            child_ = ChildInfo{};
            inChild_ = false;
        }
    }

    void OnText(std::string_view run) override {
        if (!text_.Append(run)) return;
        const std::string& element = text_.Element();
        const std::string& text = text_.Text();
        if (inChild_) {
            if (element == "childNo")
                child_.childNo = LeadingInt32(text);
            else if (element == "familyName")
                child_.familyName = text;
            else if (element == "firstName")
                child_.firstName = text;
            else if (element == "gender")
                child_.gender = text;
            else if (element == "birthday")
                child_.birthday = text;
        }
        if (inNameFile_) {
            if (element == "soundType")
                nameFile_.soundType = text;
            else if (element == "nameFileStatus")
                nameFile_.status = text;
            else if (element == "nameFileURL")
                nameFile_.url = text;
            else if (element == "nameFileSize")
                nameFile_.size = LeadingInt32(text);
        }
    }

  private:
    ChildrenList& list_;
    ChildInfo child_;
    NameFile nameFile_;
    bool inChild_ = false;
    bool inNameFile_ = false;
    ElementText text_;
};

// Sends one change; its answer is not read.
bool SendCommand(const std::string& url, std::string* error, const ServiceSession& session,
                 const HttpLimits& limits) {
    std::string cookie = session.cookie;
    std::string reason;
    std::optional<std::string> answer;
    const bool sent = RequestText(url, std::nullopt, cookie, reason, answer, limits);
    if (error) *error = reason;
    return sent;
}

}  // namespace

bool ReadChildrenList(std::string_view answer, ChildrenList& list) {
    ChildrenReader reader(list);
    list.errorText = ParseXmlAnswer(answer, reader);
    return list.errorText.empty();
}

bool FetchChildrenList(ChildrenList& list, const ServiceSession& session,
                       const HttpLimits& limits) {
    list.children.clear();
    list.errorText.clear();
    std::string cookie = session.cookie;
    std::optional<std::string> answer;
    if (!RequestText(ChildrenListUrl(session.baseUrl, session.userId, session.password),
                     std::nullopt, cookie, list.errorText, answer, limits))
        return false;
    if (ReadChildrenList(answer.value_or(""), list)) return true;
    // A malformed answer gives no children: a half list would hide who is missing.
    list.children.clear();
    return false;
}

bool DeleteChild(int childNo, std::string* error, const ServiceSession& session,
                 const HttpLimits& limits) {
    return SendCommand(ChildrenDeleteUrl(session.baseUrl, session.userId, childNo), error, session,
                       limits);
}

bool InsertChild(std::string_view familyName, std::string_view givenName, ChildSex sex,
                 std::string_view birthday, std::string* error, const ServiceSession& session,
                 const HttpLimits& limits) {
    return SendCommand(
        ChildrenInsertUrl(session.baseUrl, session.userId, familyName, givenName, sex, birthday),
        error, session, limits);
}

bool RequestNameFile(int childNo, std::string* error, const ServiceSession& session,
                     const HttpLimits& limits) {
    return SendCommand(ChildrenRequestUrl(session.baseUrl, session.userId, childNo), error, session,
                       limits);
}

}  // namespace torvane
