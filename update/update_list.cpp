#include "update/update_list.h"

#include <optional>

#include "common/text_codec.h"
#include "service/endpoints.h"
#include "service/list_fetch.h"

namespace torvane {
namespace {

// "Y", "Yes" or "true" in any case: the service marks a package this way.
bool IsSelectedText(std::string_view text) {
    return (!text.empty() && text.front() == 'Y') || ToLowerAscii(text) == "true";
}

class UpdateFilesReader final : public ListReader<UpdateFile> {
  public:
    explicit UpdateFilesReader(std::vector<UpdateFile>& items)
        : ListReader(items, kMaxUpdateFiles, "update files") {}

    void OnStart(std::string_view name, const SaxAttributes&) override {
        text_.Start(name);
        if (name == "factoryFile") current_ = UpdateFile{};
    }

    void OnEnd(std::string_view name) override {
        text_.End();
        if (name == "factoryFile" && current_) {
            Add(std::move(*current_));
            current_.reset();
        }
    }

    void OnText(std::string_view run) override {
        if (!current_ || !text_.Append(run)) return;
        const std::string& element = text_.Element();
        const std::string& text = text_.Text();
        UpdateFile& file = *current_;
        if (element == "version")
            file.version = text;
        else if (element == "name")
            file.name = text;
        else if (element == "description")
            file.description = text;
        else if (element == "registeredDate")
            file.registeredDate = text;
        else if (element == "fileURL")
            file.fileUrl = text;
        else if (element == "fileSize")
            file.size = LeadingInt32(text);
        else if (element == "selected")
            file.selected = IsSelectedText(text);
    }

  private:
    std::optional<UpdateFile> current_;
    ElementText text_;
};

}  // namespace

Status UpdateFileList::FetchUpdateFiles(const ServiceSession& session, const HttpLimits& limits) {
    Clear();
    std::string cookie = session.cookie;
    ServiceList<UpdateFile> list =
        FetchList<UpdateFilesReader>(SystemUpdateFilesUrl(session.baseUrl), cookie, limits);
    tooLong_ = list.tooLong;
    Append(list.items);
    return list.status;
}

Status UpdateFileList::ReadUpdateFiles(std::string_view answer) {
    ServiceList<UpdateFile> list = ReadList<UpdateFilesReader>(answer);
    tooLong_ = list.tooLong;
    Append(list.items);
    return list.status;
}

void UpdateFileList::Append(std::vector<UpdateFile>& files) {
    for (UpdateFile& file : files) files_.push_back(std::move(file));
}

void UpdateFileList::Clear() {
    files_.clear();
}

}  // namespace torvane
