// The DIY database: Load, the rec.tbl merge, and both Saves.
#include "store/diy_xml.h"

#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

#include "common/text_codec.h"
#include "store/card_paths.h"
#include "store/database_outcome.h"
#include "store/device_clock.h"
#include "store/device_files.h"
#include "store/file_cipher.h"

namespace torvane {
namespace {

constexpr std::size_t kMaxOtherLines = kDiyCardCount;

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find_first_of("\r\n", start);
        const auto stop = end == std::string_view::npos ? text.size() : end;
        if (stop > start) lines.push_back(text.substr(start, stop - start));
        start = stop + 1;
    }
    return lines;
}

// The four slot fields of a DIY line: after the "^^", split at "|", up to the next "^".
// Nothing when a separator is missing.
std::optional<std::array<std::string_view, kDiySlotCount>> SlotFields(std::string_view line) {
    const auto caret = line.find('^');
    if (caret == std::string_view::npos) return std::nullopt;
    const auto secondCaret = line.find('^', caret + 1);
    if (secondCaret == std::string_view::npos) return std::nullopt;
    std::array<std::string_view, kDiySlotCount> fields;
    std::size_t start = secondCaret + 1;
    for (int i = 0; i < kDiySlotCount; ++i) {
        const char separator = i + 1 < kDiySlotCount ? '|' : '^';
        const auto end = line.find(separator, start);
        if (end == std::string_view::npos) return std::nullopt;
        fields[static_cast<std::size_t>(i)] = line.substr(start, end - start);
        start = end + 1;
    }
    return fields;
}

}  // namespace

DiyRecord* CDiyXML::RecordForCard(long cardNo) {
    const long index = cardNo - kFirstDiyCard;
    if (index < 0 || index >= kDiyCardCount || index >= static_cast<long>(records_.size()))
        return nullptr;
    return &records_[static_cast<std::size_t>(index)];
}

const DiyRecord* CDiyXML::RecordForCard(long cardNo) const {
    return const_cast<CDiyXML*>(this)->RecordForCard(cardNo);
}

CDiyXML::CDiyXML(std::string root)
    : card_(std::make_shared<CardAnchor>(std::move(root))), readOrNew_(true) {}

const std::string& CDiyXML::root() const {
    static const std::string none;
    return card_ != nullptr ? card_->root() : none;
}

Status CDiyXML::Load() {
    const std::string& root = this->root();
    if (root.empty()) return Status::Failure(OutcomeKind::CardUnreadable, Say(MessageId::NoDevice));
    readOrNew_ = false;
    records_.clear();
    otherLines_.clear();

    // Only a card without Diy.dat has never held a recording: a file that is there but cannot
    // be read holds the recordings' names, and starting empty would write over them.
    const std::string path = card_paths::Below(root, card_paths::kDiyDatabase);
    std::string document;
    const bool there = ReadEncipheredText(path, document);
    if (struct stat info{}; !there && (::lstat(path.c_str(), &info) == 0 || errno != ENOENT))
        return NotRead(MessageId::CardDiyNotRead, path, std::strerror(errno));
    std::string table;
    if (!ReadWholeTextFile(card_paths::Below(root, card_paths::kRecordingTable), table))
        table.clear();
    Status read =
        ReadDocuments(there ? std::optional<std::string_view>(document) : std::nullopt, table);
    readOrNew_ = read.ok();
    card_->NoteDiyFiles();
    if (!read.ok()) return NotRead(MessageId::CardDiyNotRead, path, read.message());
    return read;
}

void CDiyXML::StartEmpty() {
    records_.assign(kDiyCardCount, DiyRecord{});
    otherLines_.clear();
    readOrNew_ = card_ != nullptr;
}

Status CDiyXML::ReadDocuments(std::optional<std::string_view> diyDocument,
                              std::string_view recTable) {
    records_.clear();
    otherLines_.clear();
    if (diyDocument)
        if (Status parsed = ParseDiyDocument(*diyDocument); !parsed.ok()) return parsed;
    // rec.tbl always gets a line for each of the device's 1500 cards, whatever Diy.dat held.
    records_.resize(kDiyCardCount);
    MergeRecTable(Cp949ToUtf8(recTable.substr(0, recTable.find('\0'))));
    return Status::Ok();
}

void CDiyXML::MergeRecTable(const std::string& text) {
    const std::string now = DeviceDateNow();
    for (const std::string_view line : SplitLines(text)) {
        const auto cardAt = line.find("9210");
        if (cardAt == std::string_view::npos) {
            // Lines the device keeps beside the DIY cards; more than the table's capacity
            // are dropped rather than written past it.
            if (otherLines_.size() < kMaxOtherLines) otherLines_.emplace_back(line);
            continue;
        }
        const auto fields = SlotFields(line);
        if (!fields) break;  // a broken DIY line ends the table
        const std::string cardText(line.substr(cardAt, 8));
        DiyRecord* record = RecordForCard(std::strtol(cardText.c_str(), nullptr, 10));
        if (record == nullptr) continue;  // not one of the DIY cards
        for (std::size_t i = 0; i < kDiySlotCount; ++i) {
            const std::string_view field = (*fields)[i];
            DiySlot& slot = record->slots[i];
            if (field.empty()) continue;
            if (field.front() == ' ') {
                slot.file.clear();
                continue;
            }
            if (slot.name.empty()) {
                // A file name may hold what a name in Diy.dat cannot.
                slot.name = ControlCharactersAsBlanks(field);
                slot.date = now;
            }
            slot.file = field;
        }
    }
}

std::string CDiyXML::SerializeRecTable() const {
    std::string out;
    for (std::size_t i = 0; i < records_.size(); ++i) {
        out += std::to_string(kFirstDiyCard + static_cast<long>(i));
        out += "^^";
        for (std::size_t s = 0; s < kDiySlotCount; ++s) {
            const DiySlot& slot = records_[i].slots[s];
            if (s > 0) out += '|';
            out += slot.InUse() && !slot.file.empty() ? slot.file : " ";
        }
        out += "^^/ck9\r\n";
    }
    for (const std::string& line : otherLines_) {
        if (line.empty()) continue;
        out += line;
        out += "\r\n";
    }
    return Utf8ToCp949(out);
}

Status CDiyXML::SaveWith(const std::function<bool()>& write) {
    if (Status allowed =
            SaveAllowed(card_.get(), readOrNew_, card_ != nullptr && card_->DiyFilesAsNoted());
        !allowed.ok())
        return allowed;
    Status written = WriteTaken(write());
    if (written.ok()) card_->NoteDiyFiles();
    return written;
}

Status CDiyXML::SaveRecTable() {
    return SaveWith([this] {
        return WriteFileSafely(card_paths::Below(root(), card_paths::kRecordingTable),
                               SerializeRecTable());
    });
}

Status CDiyXML::SaveDiyFile() {
    return SaveWith([this] {
        return WriteEncipheredFile(card_paths::Below(root(), card_paths::kDiyDatabase),
                                   SerializeDiyDocument());
    });
}

}  // namespace torvane
