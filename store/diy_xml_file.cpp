// Diy.dat's plain document: its layout and its reader.
#include <libxml/parser.h>

#include <cstdarg>

#include "store/device_files.h"
#include "store/diy_xml.h"
#include "store/text_codec.h"
#include "store/xml_push.h"

namespace torvane {

// Reads the "t" (card) and "r" (slot) elements; names are judged by their first letter.
class DiyXmlReader {
  public:
    explicit DiyXmlReader(CDiyXML& model) : model_(model) {}

    void Parse(std::string_view document) {
        xmlSAXHandler handler = MakeSaxHandler();
        handler.startElementNs = &OnStart;
        handler.endElementNs = &OnEnd;
        handler.characters = &OnCharacters;
        handler.error = &OnError;
        ParseDeviceDocument(document, handler, this);
    }

  private:
    static DiyXmlReader& Self(void* user) { return *static_cast<DiyXmlReader*>(user); }
    static char First(const xmlChar* name) { return name ? static_cast<char>(name[0]) : '\0'; }

    static void OnStart(void* user, const xmlChar* localName, const xmlChar*, const xmlChar*, int,
                        const xmlChar**, int attributeCount, int, const xmlChar** attributes) {
        Self(user).Start(First(localName), attributeCount, attributes);
    }
    static void OnEnd(void* user, const xmlChar* localName, const xmlChar*, const xmlChar*) {
        Self(user).End(First(localName));
    }
    static void OnCharacters(void* user, const xmlChar* text, int length) {
        DiyXmlReader& self = Self(user);
        if (!self.textExpected_ || self.element_ != 'r') return;
        self.text_.append(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length));
        self.hasText_ = true;
    }
    static void OnError(void* user, const char* format, ...) {
        va_list args;
        va_start(args, format);
        Self(user).model_.lastError_ = FormatXmlError(format, args);
        va_end(args);
    }

    // libxml2 hands "&amp;" in an attribute over as "&#38;" (any other "&" arrives decoded).
    static std::string AttributeValue(const xmlChar* begin, const xmlChar* end) {
        std::string raw(reinterpret_cast<const char*>(begin),
                        static_cast<std::size_t>(end - begin));
        std::string value;
        value.reserve(raw.size());
        for (std::size_t i = 0; i < raw.size();) {
            if (raw.compare(i, 5, "&#38;") == 0) {
                value += '&';
                i += 5;
            } else {
                value += raw[i++];
            }
        }
        return value;
    }

    DiySlot* CurrentSlot() {
        if (slot_ >= kDiySlotCount) return nullptr;
        return &record_.slots[static_cast<std::size_t>(slot_)];
    }

    void Start(char element, int attributeCount, const xmlChar** attributes) {
        element_ = element;
        text_.clear();
        hasText_ = false;
        if (element == 't') {
            record_ = DiyRecord{};
            slot_ = 0;
        } else if (element == 'r') {
            // Each attribute is five pointers: local name, prefix, URI, value, value end.
            for (int i = 0; i < attributeCount; ++i) {
                const xmlChar** attribute = attributes + 5 * i;
                DiySlot* slot = CurrentSlot();
                if (slot == nullptr) break;
                const char name = First(attribute[0]);
                if (name == 'd')
                    slot->date = AttributeValue(attribute[3], attribute[4]);
                else if (name == 'n')
                    slot->name = AttributeValue(attribute[3], attribute[4]);
            }
        }
        textExpected_ = true;
    }

    void End(char element) {
        if (element == 'r' && textExpected_ && hasText_)
            if (DiySlot* slot = CurrentSlot()) slot->file = text_;
        text_.clear();
        hasText_ = false;
        if (element == 't') {
            // The device has 1500 DIY cards; records past them would be written as cards it
            // does not have.
            if (model_.records_.size() < static_cast<std::size_t>(kDiyCardCount))
                model_.records_.push_back(record_);
        } else if (element == 'r') {
            ++slot_;
        }
        textExpected_ = false;
    }

    CDiyXML& model_;
    DiyRecord record_;
    int slot_ = 0;
    char element_ = '\0';
    bool textExpected_ = false;
    bool hasText_ = false;
    std::string text_;
};

bool CDiyXML::ParseDiyDocument(std::string_view document) {
    lastError_.clear();
    DiyXmlReader(*this).Parse(document);
    return lastError_.empty();
}

std::string CDiyXML::SerializeDiyDocument() const {
    std::string out = "<?xml version=\"1.0\" encoding=\"euc-kr\"?>\n<d>";
    for (const DiyRecord& record : records_) {
        out += "<t>";
        for (const DiySlot& slot : record.slots) {
            // The date is ours ("2024-03-05T14-07-09"); escaping changes nothing in it but keeps
            // a damaged one from breaking the document.
            out += "<r d=\"" + EscapeXmlText(slot.date) + "\" n=\"" + EscapeXmlText(slot.name) +
                   "\">" + EscapeXmlText(slot.file) + "</r>";
        }
        out += "</t>";
    }
    out += "</d>";
    return Utf8ToCp949Xml(out);
}

}  // namespace torvane
