#include "service/xml_answer.h"

#include <libxml/parser.h>

#include <cctype>
#include <limits>
#include <memory>

namespace torvane {
namespace {

struct ParseState {
    IXmlAnswerReader* reader;
    std::string error;
};

std::string_view NameOf(const xmlChar* name) {
    return name ? std::string_view(reinterpret_cast<const char*>(name)) : std::string_view();
}

void StartElement(void* ctx, const xmlChar* localName, const xmlChar*, const xmlChar*, int,
                  const xmlChar**, int, int, const xmlChar**) {
    static_cast<ParseState*>(ctx)->reader->OnStart(NameOf(localName));
}

void EndElement(void* ctx, const xmlChar* localName, const xmlChar*, const xmlChar*) {
    static_cast<ParseState*>(ctx)->reader->OnEnd(NameOf(localName));
}

void Characters(void* ctx, const xmlChar* text, int length) {
    static_cast<ParseState*>(ctx)->reader->OnText(
        std::string_view(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length)));
}

void StructuredError(void* ctx, xmlErrorPtr error) {
    auto* state = static_cast<ParseState*>(ctx);
    if (!error || error->level < XML_ERR_ERROR || !state->error.empty()) return;
    std::string message = error->message ? error->message : "XML parse error";
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    // Keep the line and column: the reason is all a caller sees of a malformed answer.
    state->error = message + " (line " + std::to_string(error->line) + ", column " +
                   std::to_string(error->int2) + ")";
    if (state->error.size() > 1023) state->error.resize(1023);
}

}  // namespace

std::string_view TrimLeadingSpace(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && std::isspace(static_cast<unsigned char>(text[start]))) ++start;
    return text.substr(start);
}

std::string ParseXmlAnswer(std::string_view answer, IXmlAnswerReader& reader) {
    // libxml2's global tables are set up once, before any thread parses.
    static const bool initialised = (xmlInitParser(), true);
    (void)initialised;
    const std::string_view text = TrimLeadingSpace(answer);
    ParseState state{&reader, {}};
    xmlSAXHandler handler{};
    handler.initialized = XML_SAX2_MAGIC;
    handler.startElementNs = StartElement;
    handler.endElementNs = EndElement;
    handler.characters = Characters;
    handler.cdataBlock = Characters;
    handler.serror = StructuredError;

    struct ContextDeleter {
        void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
    };
    std::unique_ptr<xmlParserCtxt, ContextDeleter> context(
        xmlCreatePushParserCtxt(&handler, &state, nullptr, 0, nullptr));
    if (!context) return "XML parser could not be created";
    // No network, no external entities: the answer is read as it is.
    xmlCtxtUseOptions(context.get(), XML_PARSE_NONET | XML_PARSE_NOWARNING);
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return "XML answer too large";
    xmlParseChunk(context.get(), text.data(), static_cast<int>(text.size()), 0);
    xmlParseChunk(context.get(), nullptr, 0, 1);
    if (state.error.empty() && !context->wellFormed) state.error = "XML answer is not well formed";
    return state.error;
}

std::int32_t LeadingInt32(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) break;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

}  // namespace torvane
