// Diy.dat's plain document: its layout and its reader.
#include "common/text_codec.h"
#include "common/xml_sax.h"
#include "store/device_files.h"
#include "store/diy_xml.h"

namespace torvane {

// Reads the "t" (card) and "r" (slot) elements; names are judged by their first letter.
class DiyXmlReader final : public ISaxReader {
  public:
    explicit DiyXmlReader(CDiyXML& model) : model_(model) {}

    Status Parse(std::string_view document) { return ParseDeviceDocument(document, *this); }

    void OnStart(std::string_view name, const SaxAttributes& attributes) override {
        Start(First(name), attributes);
    }
    void OnEnd(std::string_view name) override { End(First(name)); }
    void OnText(std::string_view run) override {
        if (text_.Element() != "r") return;
        text_.Append(run);
    }

  private:
    static char First(std::string_view name) { return name.empty() ? '\0' : name.front(); }

    DiySlot* CurrentSlot() {
        if (slot_ >= kDiySlotCount) return nullptr;
        return &record_.slots[static_cast<std::size_t>(slot_)];
    }

    void Start(char element, const SaxAttributes& attributes) {
        // Only the first letter tells the elements apart: "r" and "rec" are both slots.
        text_.Start(std::string_view(&element, 1));
        if (element == 't') {
            record_ = DiyRecord{};
            slot_ = 0;
        } else if (element == 'r') {
            for (int i = 0; i < attributes.Count(); ++i) {
                DiySlot* slot = CurrentSlot();
                if (slot == nullptr) break;
                const SaxAttribute attribute = attributes.At(i);
                const char name = First(attribute.name);
                // A tab or line feed reaches here only as a character reference; stored raw it
                // would read back as a blank, so it is a blank from the start.
                if (name == 'd')
                    slot->date =
                        ControlCharactersAsBlanks(SaxAttributes::DecodeAmpersands(attribute.value));
                else if (name == 'n')
                    slot->name =
                        ControlCharactersAsBlanks(SaxAttributes::DecodeAmpersands(attribute.value));
            }
        }
    }

    void End(char element) {
        if (element == 'r' && text_.HasText())
            if (DiySlot* slot = CurrentSlot()) slot->file = text_.Text();
        text_.End();
        if (element == 't') {
            // The device has 1500 DIY cards; records past them would be written as cards it
            // does not have.
            if (model_.records_.size() < static_cast<std::size_t>(kDiyCardCount))
                model_.records_.push_back(record_);
        } else if (element == 'r') {
            ++slot_;
        }
    }

    CDiyXML& model_;
    DiyRecord record_;
    int slot_ = 0;
    ElementText text_;
};

Status CDiyXML::ParseDiyDocument(std::string_view document) {
    const Status status = DiyXmlReader(*this).Parse(document);
    if (status.ok()) return status;
    return Status::Failure(OutcomeKind::CardUnreadable, status.message());
}

std::string CDiyXML::SerializeDiyDocument() const {
    std::string out = "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n<d>";
    for (const DiyRecord& record : records_) {
        out += "<t>";
        for (const DiySlot& slot : record.slots) {
            // The date is ours ("2024-03-05T14-07-09"); escaping changes nothing in it but keeps
            // a damaged one from breaking the document.
            // The file is named as rec.tbl names it, in the device's code page: a character
            // CP949 lacks becomes "?" in both files, so the two never disagree on a slot's file.
            const std::string file =
                IsAscii(slot.file) ? slot.file : Cp949ToUtf8(Utf8ToCp949(slot.file));
            out += "<r d=\"" + EscapeXmlText(slot.date) + "\" n=\"" + EscapeXmlText(slot.name) +
                   "\">" + EscapeXmlText(file) + "</r>";
        }
        out += "</t>";
    }
    out += "</d>";
    return Utf8ToCp949Xml(out);
}

}  // namespace torvane
