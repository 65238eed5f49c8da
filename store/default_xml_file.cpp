// Default.dat on the device: the plain document's layout, its reader, Load and Save.
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "common/text_codec.h"
#include "common/xml_sax.h"
#include "store/card_paths.h"
#include "store/cp949_xml_writer.h"
#include "store/database_outcome.h"
#include "store/default_xml.h"
#include "store/device_files.h"
#include "store/file_cipher.h"

namespace torvane {

constexpr std::string_view kXmlDeclaration = "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n";

// Collects element text by section while libxml2 walks the document, into the model.
class DefaultXmlReader final : public ISaxReader {
  public:
    explicit DefaultXmlReader(CDefaultXML& model) : model_(model) {}

    Status Parse(std::string_view document) { return ParseDeviceDocument(document, *this); }

    // Default.dat deciphered into the parser as it is read; nothing when the file cannot be read.
    std::optional<Status> ParseFile(const std::string& path) {
        DeviceDocumentParser parser(*this);
        if (!ReadEncipheredPieces(path, [&](std::string_view piece) { return parser.Feed(piece); }))
            return std::nullopt;
        return parser.Finish();
    }

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

// Room for the markup around each content and each file and for their values, so the document is
// written into one buffer that never moves.
constexpr std::size_t kContentMarkupBytes = 192;
constexpr std::size_t kFileMarkupBytes = 160;

std::size_t ExpectedSize(const ContentRecord& content) {
    std::size_t size = kContentMarkupBytes + content.contentNo.size() + content.title.size() +
                       content.mainGroup.size() + content.subGroup.size() + content.date.size() +
                       content.status.size();
    for (const FileRecord& file : content.files)
        size += kFileMarkupBytes + file.name.size() + file.language.size() +
                file.folderType.size() + file.rfidCardId.size();
    return size;
}

void WriteContent(Cp949XmlWriter& out, const ContentRecord& content) {
    out.Markup("<content>");
    out.Element("contentNo", content.contentNo);
    out.Element("name", content.title);
    out.Element("mainGroup", content.mainGroup);
    out.Element("subGroup", content.subGroup);
    out.Element("downloadDate", content.date);
    if (!content.status.empty()) out.Element("status", content.status);
    out.Markup("<files>");
    for (const FileRecord& file : content.files) {
        out.Markup("<file>");
        out.Element("name", file.name);
        out.Element("language", file.language);
        out.Element("folderType", file.folderType);
        out.Element("rfidCardID", file.rfidCardId);
        out.Element("fileSize", file.size);
        out.Markup("</file>");
    }
    out.Markup("</files></content>");
}

bool ByContentNo(const ContentRecord& a, const ContentRecord& b) {
    return a.contentNo < b.contentNo;
}

}  // namespace

std::string CDefaultXML::SerializeDocument() {
    std::sort(diyList_.begin(), diyList_.end());
    std::sort(gameContentList_.begin(), gameContentList_.end());
    std::size_t expected = 4096 + (diyList_.size() + gameContentList_.size()) * 64;
    for (const Shelf shelf : kStoredShelves) {
        auto& contents = Contents(shelf);
        // A loaded database is in order already: only a changed shelf pays for the sort.
        if (!std::is_sorted(contents.begin(), contents.end(), ByContentNo))
            std::stable_sort(contents.begin(), contents.end(), ByContentNo);
        for (const ContentRecord& content : contents) expected += ExpectedSize(content);
    }

    // The device reads CP949; a character CP949 lacks becomes a character reference.
    Cp949XmlWriter out(expected);
    out.Markup(kXmlDeclaration);
    out.Markup("<TorvaneDefault>");
    out.Element("systemVersion", systemVersion_);
    out.Element("soundType", soundType_);
    out.Markup("<diyList>");
    for (const std::string& card : diyList_) out.Element("rfidCardID", card);
    out.Markup("</diyList>");
    out.Element("selectedChildNo", selectedChildNo_);
    out.Element("selectedDiyContentNo", selectedDiyContentNo_);
    out.Markup("<gameContentList>");
    for (const std::string& number : gameContentList_) out.Element("contentNo", number);
    out.Markup("</gameContentList>");
    out.Markup("<contentsList>");
    for (const Shelf shelf : kStoredShelves)
        for (const ContentRecord& content : Contents(shelf)) WriteContent(out, content);
    out.Markup("</contentsList></TorvaneDefault>");
    return out.Take();
}

Status CDefaultXML::ParseDocument(std::string_view document) {
    const Status status = DefaultXmlReader(*this).Parse(document);
    if (status.ok()) return status;
    return Status::Failure(OutcomeKind::CardUnreadable, status.message());
}

CDefaultXML::CDefaultXML(std::string root)
    : card_(std::make_shared<CardAnchor>(std::move(root))), readOrNew_(true) {}

const std::string& CDefaultXML::root() const {
    static const std::string none;
    return card_ != nullptr ? card_->root() : none;
}

Status CDefaultXML::Load() {
    if (card_ == nullptr || root().empty())
        return Status::Failure(OutcomeKind::CardUnreadable, Say(MessageId::NoDevice));
    Clear();
    readOrNew_ = false;
    // Deciphered in memory: the database in clear never lands in a file.
    const std::string path = card_paths::Below(root(), card_paths::kDatabase);
    const std::optional<Status> status = DefaultXmlReader(*this).ParseFile(path);
    card_->NoteDatabaseFile();
    if (!status) {
        Clear();  // what a read cut short held is not the card's database
        return NotRead(MessageId::CardDatabaseNotRead, path, "");
    }
    if (!status->ok()) return NotRead(MessageId::CardDatabaseNotRead, path, status->message());
    FillGameShelfFromSelection();
    readOrNew_ = true;
    return Status::Ok();
}

Status CDefaultXML::Save() {
    if (Status allowed = SaveAllowed(card_.get(), readOrNew_, true); !allowed.ok()) return allowed;
    std::string document = SerializeDocument();
    Status written = WriteTaken(
        WriteEncipheredFileInPlace(card_paths::Below(root(), card_paths::kDatabase), document));
    if (written.ok()) card_->NoteDatabaseFile();
    return written;
}

}  // namespace torvane
