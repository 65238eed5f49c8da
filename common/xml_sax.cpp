#include "common/xml_sax.h"

#include <libxml/parser.h>

#include <limits>
#include <memory>

#include "common/text_codec.h"

namespace torvane {
namespace {

constexpr std::size_t kMaxErrorLength = 1023;
constexpr std::size_t kChunkBytes = 64 * 1024;

std::string_view View(const xmlChar* text) {
    return text ? std::string_view(reinterpret_cast<const char*>(text)) : std::string_view();
}

struct ParseState {
    ISaxReader* reader;
    std::string error;
};

ParseState& StateOf(void* context) {
    return *static_cast<ParseState*>(context);
}

void StartElement(void* context, const xmlChar* localName, const xmlChar*, const xmlChar*, int,
                  const xmlChar**, int attributeCount, int, const xmlChar** attributes) {
    StateOf(context).reader->OnStart(View(localName), SaxAttributes(attributes, attributeCount));
}

void EndElement(void* context, const xmlChar* localName, const xmlChar*, const xmlChar*) {
    StateOf(context).reader->OnEnd(View(localName));
}

void Characters(void* context, const xmlChar* text, int length) {
    StateOf(context).reader->OnText(
        std::string_view(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length)));
}

void StructuredError(void* context, xmlErrorPtr error) {
    ParseState& state = StateOf(context);
    if (!error || error->level < XML_ERR_ERROR || !state.error.empty()) return;
    std::string message = error->message ? error->message : "XML parse error";
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    // Keep the line and column: the reason is all a caller sees of a damaged document.
    state.error = message + " (line " + std::to_string(error->line) + ", column " +
                  std::to_string(error->int2) + ")";
    if (state.error.size() > kMaxErrorLength) state.error.resize(kMaxErrorLength);
}

struct ContextDeleter {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};

}  // namespace

SaxAttribute SaxAttributes::At(int index) const {
    const unsigned char** attribute = raw_ + 5 * index;
    const auto* begin = reinterpret_cast<const char*>(attribute[3]);
    const auto* end = reinterpret_cast<const char*>(attribute[4]);
    return {View(attribute[0]), std::string_view(begin, static_cast<std::size_t>(end - begin))};
}

std::optional<std::string_view> SaxAttributes::Find(std::string_view name) const {
    for (int i = 0; i < count_; ++i) {
        const SaxAttribute attribute = At(i);
        if (attribute.name == name) return attribute.value;
    }
    return std::nullopt;
}

std::string SaxAttributes::DecodeAmpersands(std::string_view value) {
    std::string decoded;
    decoded.reserve(value.size());
    for (std::size_t i = 0; i < value.size();) {
        if (value.compare(i, 5, "&#38;") == 0) {
            decoded += '&';
            i += 5;
        } else {
            decoded += value[i++];
        }
    }
    return decoded;
}

struct XmlPushParser::State {
    ParseState parse;
    xmlSAXHandler handler{};
    std::string subject;
    std::unique_ptr<xmlParserCtxt, ContextDeleter> context;
    bool stopped = false;
};

XmlPushParser::XmlPushParser(ISaxReader& reader, const SaxOptions& options)
    : state_(std::make_unique<State>()) {
    // libxml2's global tables are set up once, before any thread parses.
    static const bool initialised = (xmlInitParser(), true);
    (void)initialised;
    State& state = *state_;
    state.parse = ParseState{&reader, {}};
    state.subject = options.subject;
    xmlSAXHandler& handler = state.handler;
    handler.initialized = XML_SAX2_MAGIC;
    handler.startElementNs = StartElement;
    handler.endElementNs = EndElement;
    handler.characters = Characters;
    handler.cdataBlock = Characters;
    handler.serror = StructuredError;
    state.context.reset(xmlCreatePushParserCtxt(&handler, &state.parse, nullptr, 0, nullptr));
    if (!state.context) {
        state.parse.error = "XML parser could not be created";
        state.stopped = true;
        return;
    }
    // No network, no external entities: the document is read as it is.
    int flags = XML_PARSE_NONET | XML_PARSE_NOWARNING;
    if (options.ignoreDeclaredEncoding) flags |= XML_PARSE_IGNORE_ENC;
    xmlCtxtUseOptions(state.context.get(), flags);
}

XmlPushParser::~XmlPushParser() = default;

bool XmlPushParser::Feed(std::string_view piece) {
    State& state = *state_;
    // In pieces: libxml2 refuses a single chunk of more than 10 MB ("Huge input lookup"), and a
    // card with many contents has a larger database than that.
    while (!state.stopped && !piece.empty()) {
        const std::string_view part = piece.substr(0, kChunkBytes);
        piece.remove_prefix(part.size());
        state.stopped =
            xmlParseChunk(state.context.get(), part.data(), static_cast<int>(part.size()), 0) != 0;
    }
    return !state.stopped;
}

Status XmlPushParser::Finish() {
    State& state = *state_;
    if (!state.stopped) state.stopped = xmlParseChunk(state.context.get(), nullptr, 0, 1) != 0;
    // A byte the declared encoding cannot decode stops the parser without an error of the
    // document's own; whatever made it stop, what was read up to there is not the document.
    std::string& error = state.parse.error;
    if (error.empty() && (state.stopped || !state.context->wellFormed))
        error = state.subject + " is not well formed";
    return error.empty() ? Status::Ok() : Status::Failure(error);
}

Status ParseXml(std::string_view text, ISaxReader& reader, const SaxOptions& options) {
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return Status::Failure(std::string(options.subject) + " too large");
    XmlPushParser parser(reader, options);
    parser.Feed(text);
    return parser.Finish();
}

Status ParseDeviceDocument(std::string_view cp949Document, ISaxReader& reader) {
    DeviceDocumentParser parser(reader);
    parser.Feed(cp949Document);
    return parser.Finish();
}

namespace {

SaxOptions DeviceDocumentOptions() {
    SaxOptions options;
    options.ignoreDeclaredEncoding = true;
    return options;
}

}  // namespace

DeviceDocumentParser::DeviceDocumentParser(ISaxReader& reader)
    : parser_(reader, DeviceDocumentOptions()) {}

bool DeviceDocumentParser::Feed(std::string_view cp949) {
    if (ended_) return false;
    const auto nul = cp949.find('\0');
    if (nul != std::string_view::npos) {
        cp949 = cp949.substr(0, nul);
        ended_ = true;
    }
    // Decoded in parts the size of the parser's chunks, so the UTF-8 stays in the cache.
    while (!cp949.empty() && !stopped_) {
        const std::string_view part = cp949.substr(0, kChunkBytes);
        cp949.remove_prefix(part.size());
        Decode(part, false);
    }
    return !ended_ && !stopped_;
}

Status DeviceDocumentParser::Finish() {
    Decode({}, true);
    return parser_.Finish();
}

void DeviceDocumentParser::Decode(std::string_view cp949, bool last) {
    std::string_view text = cp949;
    if (!carried_.empty()) {
        carried_.append(cp949);
        text = carried_;
    }
    // Up to the last ASCII byte: a character never goes on past one. The rest waits for the
    // next piece.
    std::size_t whole = text.size();
    if (!last) {
        whole = 0;
        for (std::size_t i = text.size(); i > 0; --i) {
            if (static_cast<unsigned char>(text[i - 1]) < 0x80) {
                whole = i;
                break;
            }
        }
    }
    utf8_.clear();
    decoder_.Append(text.substr(0, whole), utf8_);
    std::string rest(text.substr(whole));
    carried_ = std::move(rest);
    if (!utf8_.empty() && !parser_.Feed(utf8_)) stopped_ = true;
}

}  // namespace torvane
