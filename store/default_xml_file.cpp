// Default.dat on the device: the plain document's layout, its reader, Load and Save.
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "store/card_paths.h"
#include "store/default_xml.h"
#include "store/device_files.h"
#include "store/file_cipher.h"
#include "store/text_codec.h"
#include "store/xml_sax.h"

namespace torvane {

constexpr std::string_view kXmlDeclaration = "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n";

// Collects element text by section while libxml2 walks the document, into the model.
class DefaultXmlReader final : public ISaxReader {
  public:
    explicit DefaultXmlReader(CDefaultXML& model) : model_(model) {}

    Status Parse(std::string_view document) { return ParseDeviceDocument(document, *this); }

    void OnStart(std::string_view name, const SaxAttributes&) override { Start(name); }
    void OnEnd(std::string_view name) override { End(name); }
    void OnText(std::string_view run) override {
        if (IsContainer(text_.Element())) return;
        text_.Append(run);
    }

  private:
    enum class Section { Top, Content, File, GameList, DiyList };

    static bool IsContainer(std::string_view name) {
        return name == "content" || name == "files" || name == "file" || name == "contentsList" ||
               name == "diyList" || name == "gameContentList";
    }

    void Start(std::string_view name) {
        text_.Start(name);
        if (name == "content") {
            content_ = ContentRecord{};
            section_ = Section::Content;
        } else if (name == "file") {
            file_ = FileRecord{};
            section_ = Section::File;
        } else if (name == "gameContentList") {
            section_ = Section::GameList;
        } else if (name == "diyList") {
            section_ = Section::DiyList;
        }
    }

    void End(std::string_view name) {
        if (text_.HasText()) Store(text_.Text());
        text_.End();
        if (section_ == Section::File && name == "file") {
            content_.files.push_back(std::move(file_));
            file_ = FileRecord{};
        } else if (section_ == Section::Content && name == "content") {
            if (const auto shelf = ShelfForContentNo(content_.contentNo, content_.subGroup))
                model_.Contents(*shelf).push_back(std::move(content_));
            content_ = ContentRecord{};
        } else if (section_ == Section::DiyList && name == "diyList") {
            section_ = Section::Top;
        } else if (name == "files") {
            section_ = Section::Content;
        }
    }

    // Puts an element's value where its section and name say.
    void Store(const std::string& value) {
        const std::string_view e = text_.Element();
        switch (section_) {
            case Section::Top:
                if (e == "systemVersion")
                    model_.systemVersion_ = value;
                else if (e == "soundType")
                    model_.soundType_ = value;
                else if (e == "selectedChildNo")
                    model_.selectedChildNo_ = std::atoi(value.c_str());
                else if (e == "selectedDiyContentNo")
                    model_.selectedDiyContentNo_ = value;
                break;
            case Section::Content:
                if (e == "contentNo")
                    content_.contentNo = value;
                else if (e == "name")
                    content_.title = value;
                else if (e == "mainGroup")
                    content_.mainGroup = value;
                else if (e == "subGroup")
                    content_.subGroup = value;
                else if (e == "downloadDate")
                    content_.date = value;
                else if (e == "status")
                    content_.status = value;
                break;
            case Section::File:
                if (e == "name")
                    file_.name = value;
                else if (e == "rfidCardID")
                    file_.rfidCardId = value;
                else if (e == "language")
                    file_.language = value;
                else if (e == "fileSize")
                    file_.size = static_cast<std::int32_t>(std::atol(value.c_str()));
                else if (e == "folderType")
                    file_.folderType = value;
                break;
            case Section::GameList:
                if (e == "contentNo") model_.gameContentList_.push_back(value);
                break;
            case Section::DiyList:
                if (e == "rfidCardID") model_.diyList_.push_back(value);
                break;
        }
    }

    CDefaultXML& model_;
    ElementText text_;
    Section section_ = Section::Top;
    ContentRecord content_;
    FileRecord file_;
};

namespace {

void AppendElement(std::string& out, std::string_view tag, std::string_view value) {
    out += '<';
    out += tag;
    out += '>';
    out += EscapeXmlText(value);
    out += "</";
    out += tag;
    out += '>';
}

void AppendContent(std::string& out, const ContentRecord& content) {
    out += "<content>";
    AppendElement(out, "contentNo", content.contentNo);
    AppendElement(out, "name", content.title);
    AppendElement(out, "mainGroup", content.mainGroup);
    AppendElement(out, "subGroup", content.subGroup);
    AppendElement(out, "downloadDate", content.date);
    if (!content.status.empty()) AppendElement(out, "status", content.status);
    out += "<files>";
    for (const FileRecord& file : content.files) {
        out += "<file>";
        AppendElement(out, "name", file.name);
        AppendElement(out, "language", file.language);
        AppendElement(out, "folderType", file.folderType);
        AppendElement(out, "rfidCardID", file.rfidCardId);
        out += "<fileSize>" + std::to_string(file.size) + "</fileSize>";
        out += "</file>";
    }
    out += "</files></content>";
}

}  // namespace

std::string CDefaultXML::SerializeDocument() {
    std::string out(kXmlDeclaration);
    out += "<TorvaneDefault>";
    AppendElement(out, "systemVersion", systemVersion_);
    AppendElement(out, "soundType", soundType_);
    std::sort(diyList_.begin(), diyList_.end());
    out += "<diyList>";
    for (const std::string& card : diyList_) AppendElement(out, "rfidCardID", card);
    out += "</diyList>";
    out += "<selectedChildNo>" + std::to_string(selectedChildNo_) + "</selectedChildNo>";
    AppendElement(out, "selectedDiyContentNo", selectedDiyContentNo_);
    std::sort(gameContentList_.begin(), gameContentList_.end());
    out += "<gameContentList>";
    for (const std::string& number : gameContentList_) AppendElement(out, "contentNo", number);
    out += "</gameContentList>";
    out += "<contentsList>";
    for (const Shelf shelf : kStoredShelves) {
        auto& contents = Contents(shelf);
        std::stable_sort(contents.begin(), contents.end(),
                         [](const ContentRecord& a, const ContentRecord& b) {
                             return a.contentNo < b.contentNo;
                         });
        for (const ContentRecord& content : contents) AppendContent(out, content);
    }
    out += "</contentsList></TorvaneDefault>";
    // The device reads CP949; a character CP949 lacks becomes a character reference.
    return Utf8ToCp949Xml(out);
}

bool CDefaultXML::ParseDocument(std::string_view document) {
    const Status status = DefaultXmlReader(*this).Parse(document);
    lastError_ = status.message();
    return status.ok();
}

CDefaultXML::CDefaultXML(std::string root)
    : card_(std::make_shared<CardAnchor>(std::move(root))), readOrNew_(true) {}

const std::string& CDefaultXML::root() const {
    static const std::string none;
    return card_ != nullptr ? card_->root() : none;
}

bool CDefaultXML::Load() {
    if (card_ == nullptr || root().empty()) return false;
    Clear();
    readOrNew_ = false;
    // Deciphered in memory: the database in clear never lands in a file.
    std::string document;
    const bool read =
        ReadEncipheredText(card_paths::Below(root(), card_paths::kDatabase), document);
    card_->NoteDatabaseFile();
    if (!read || !ParseDocument(document)) return false;
    FillGameShelfFromSelection();
    readOrNew_ = true;
    return true;
}

bool CDefaultXML::Save() {
    if (!Saveable()) return false;
    if (!WriteEncipheredFile(card_paths::Below(root(), card_paths::kDatabase), SerializeDocument()))
        return false;
    card_->NoteDatabaseFile();
    return true;
}

}  // namespace torvane
