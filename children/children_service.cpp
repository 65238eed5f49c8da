#include "children/children_service.h"

#include <optional>

namespace torvane {
namespace {

class ChildrenReader final : public ListReader<ChildInfo> {
  public:
    explicit ChildrenReader(std::vector<ChildInfo>& items)
        : ListReader(items, kMaxChildren, "children") {}

    void OnStart(std::string_view name, const SaxAttributes&) override {
        text_.Start(name);
        if (name == "childInfo") {
            child_ = ChildInfo{};
            // A child without a number, or with an empty one, has none the service gave.
            child_.numberValid = false;
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
            Add(std::move(child_));
            child_ = ChildInfo{};
            inChild_ = false;
        }
    }

    void OnText(std::string_view run) override {
        if (!text_.Append(run)) return;
        const std::string& element = text_.Element();
        const std::string& text = text_.Text();
        if (inChild_) {
            if (element == "childNo") {
                const std::optional<std::int32_t> number = PositiveInt32(text);
                child_.childNo = number.value_or(0);
                child_.numberValid = number.has_value();
            } else if (element == "familyName")
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
    ChildInfo child_;
    NameFile nameFile_;
    bool inChild_ = false;
    bool inNameFile_ = false;
    ElementText text_;
};

// Sends one change; its answer is not read.
Status SendCommand(const std::string& url, const ServiceSession& session,
                   const HttpLimits& limits) {
    std::string cookie = session.cookie;
    std::optional<std::string> answer;
    return RequestText(url, std::nullopt, cookie, answer, limits);
}

}  // namespace

ChildrenList ReadChildrenList(std::string_view answer) {
    return ReadList<ChildrenReader>(answer);
}

ChildrenList FetchChildrenList(const ServiceSession& session, const HttpLimits& limits) {
    std::string cookie = session.cookie;
    ChildrenList list = FetchList<ChildrenReader>(
        ChildrenListUrl(session.baseUrl, session.userId, session.password), cookie, limits);
    if (!list.ok()) list.items.clear();
    return list;
}

Status DeleteChild(int childNo, const ServiceSession& session, const HttpLimits& limits) {
    return SendCommand(ChildrenDeleteUrl(session.baseUrl, session.userId, childNo), session,
                       limits);
}

Status InsertChild(std::string_view familyName, std::string_view givenName, ChildSex sex,
                   std::string_view birthday, const ServiceSession& session,
                   const HttpLimits& limits) {
    return SendCommand(
        ChildrenInsertUrl(session.baseUrl, session.userId, familyName, givenName, sex, birthday),
        session, limits);
}

Status RequestNameFile(int childNo, const ServiceSession& session, const HttpLimits& limits) {
    return SendCommand(ChildrenRequestUrl(session.baseUrl, session.userId, childNo), session,
                       limits);
}

}  // namespace torvane
