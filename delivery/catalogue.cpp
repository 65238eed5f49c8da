#include "delivery/catalogue.h"

#include <optional>

#include "service/endpoints.h"

namespace torvane {
namespace {

// Fills records from a contentsList answer.
class CatalogueReader final : public ListReader<ContentRecord> {
  public:
    explicit CatalogueReader(std::vector<ContentRecord>& items)
        : ListReader(items, kMaxCatalogueContents, "contents") {}

    void OnStart(std::string_view name, const SaxAttributes&) override {
        text_.Start(name);
        if (name == "content") {
            content_ = ContentRecord{};
            section_ = Section::Content;
        } else if (name == "file") {
            file_ = FileRecord{};
            section_ = Section::File;
        }
    }

    void OnEnd(std::string_view name) override {
        text_.End();
        if (name == "file") {
            content_.files.push_back(file_);
        } else if (name == "content") {
            Add(std::move(content_));
            content_ = ContentRecord{};
        }
    }

    void OnText(std::string_view run) override {
        if (!text_.Append(run)) return;
        const std::string& element = text_.Element();
        if (element == "content" || element == "files" || element == "file" ||
            element == "contentsList")
            return;
        if (section_ == Section::Content)
            StoreContentField(element, text_.Text());
        else if (section_ == Section::File)
            StoreFileField(element, text_.Text());
    }

  private:
    enum class Section { None, Content, File };

    void StoreContentField(std::string_view element, const std::string& text) {
        if (element == "contentNo")
            content_.contentNo = text;
        else if (element == "name")
            content_.title = text;
        else if (element == "downloadType")
            content_.downloadType = text;
        else if (element == "mainGroup")
            content_.mainGroup = text;
        else if (element == "subGroup")
            content_.subGroup = text;
        else if (element == "thumbnailImage")
            content_.thumbnailImage = text;
        else if (element == "downCount")
            content_.downloadCount = LeadingInt32(text);
        else if (element == "endCount")
            content_.endCount = LeadingInt32(text);
        else if (element == "endDate")
            content_.date = text;
        else if (element == "defaultYN")
            content_.status = text;
    }

    void StoreFileField(std::string_view element, const std::string& text) {
        if (element == "name")
            file_.name = text;
        else if (element == "savedName")
            file_.savedName = text;
        else if (element == "rfidCardID")
            file_.rfidCardId = text;
        else if (element == "language")
            file_.language = text;
        else if (element == "fileURL")
            file_.fileUrl = text;
        else if (element == "fileSize")
            file_.size = LeadingInt32(text);
        else if (element == "folderType")
            file_.folderType = text;
    }

    ContentRecord content_;
    FileRecord file_;
    Section section_ = Section::None;
    ElementText text_;
};

}  // namespace

ServiceList<ContentRecord> FetchContents(const ServiceSession& session, const HttpLimits& limits) {
    // The list request carries the session's cookie like every other request; a copy keeps the
    // signed-in session's cookie as it is.
    std::string cookie = session.cookie;
    return FetchList<CatalogueReader>(
        ContentsListUrl(session.baseUrl, session.userId, session.password), cookie, limits);
}

Status ContentCatalogue::FetchCatalogue(const ServiceSession& session, const HttpLimits& limits) {
    ClearCatalogue();
    ServiceList<ContentRecord> list = FetchContents(session, limits);
    tooLong_ = list.tooLong;
    File(list.items);
    return list.status;
}

Status ContentCatalogue::ReadCatalogue(std::string_view answer) {
    ServiceList<ContentRecord> list = ReadList<CatalogueReader>(answer);
    tooLong_ = list.tooLong;
    File(list.items);
    return list.status;
}

void ContentCatalogue::File(std::vector<ContentRecord>& contents) {
    for (ContentRecord& content : contents) {
        if (std::optional<Shelf> shelf = ShelfFor(content.mainGroup, content.subGroup))
            MutableContents(*shelf).push_back(std::move(content));
    }
}

void ContentCatalogue::ClearCatalogue() {
    for (auto& shelf : shelves_) shelf.clear();
}

const std::vector<ContentRecord>& ContentCatalogue::Contents(Shelf shelf) const {
    return shelves_[static_cast<std::size_t>(shelf)];
}

std::vector<ContentRecord>& ContentCatalogue::MutableContents(Shelf shelf) {
    return shelves_[static_cast<std::size_t>(shelf)];
}

bool ContentCatalogue::Empty() const {
    for (const auto& shelf : shelves_)
        if (!shelf.empty()) return false;
    return true;
}

}  // namespace torvane
