// The one way the program reads XML: the card's databases, the content service's answers and the
// left menu's definition all go through libxml2's SAX2 push parser here. A reader sees element
// starts (with their attributes), ends and runs of text; the parse fails on the first error the
// parser reports, with its message, line and column, so every reader rejects the same damage.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/status.h"
#include "common/text_codec.h"

namespace torvane {

struct SaxAttribute {
    std::string_view name;   // local name
    std::string_view value;  // as libxml2 hands it over (see DecodeAmpersands)
};

// The attributes of one element start, valid during the reader's OnStart only.
class SaxAttributes {
  public:
    // `raw` is libxml2's array: five pointers per attribute (local name, prefix, URI, value
    // start, value end).
    SaxAttributes(const unsigned char** raw, int count)
        : raw_(raw), count_(count > 0 ? count : 0) {}
    SaxAttributes() = default;

    int Count() const { return count_; }
    SaxAttribute At(int index) const;
    // The value of the first attribute called `name`; nothing when the element has none.
    std::optional<std::string_view> Find(std::string_view name) const;

    // libxml2 hands "&amp;" in an attribute over as "&#38;" (any other "&" arrives decoded);
    // this gives the value as written.
    static std::string DecodeAmpersands(std::string_view value);

  private:
    const unsigned char** raw_ = nullptr;
    int count_ = 0;
};

class ISaxReader {
  public:
    virtual ~ISaxReader() = default;
    virtual void OnStart(std::string_view name, const SaxAttributes& attributes) = 0;
    virtual void OnEnd(std::string_view name) = 0;
    // One run of character data; a text is often split into runs (always at entity references).
    virtual void OnText(std::string_view run) = 0;
};

// Collects one element's text across its runs: reset at each element start, so a reader can
// store the whole text after every run, or once at the element's end.
class ElementText {
  public:
    void Start(std::string_view name) {
        element_.assign(name);
        text_.clear();
        open_ = true;
        hasText_ = false;
    }
    void End() {
        open_ = false;
        hasText_ = false;
    }
    // Appends a run; returns false when text is not expected (after an end tag).
    bool Append(std::string_view run) {
        if (!open_) return false;
        text_.append(run);
        hasText_ = true;
        return true;
    }
    const std::string& Element() const { return element_; }
    const std::string& Text() const { return text_; }
    // Whether a run arrived since the element started (an empty element has none).
    bool HasText() const { return hasText_; }

  private:
    std::string element_;
    std::string text_;
    bool open_ = false;
    bool hasText_ = false;
};

struct SaxOptions {
    // The card's files declare "euc-kr" but are handed over already decoded.
    bool ignoreDeclaredEncoding = false;
    // What the failure texts call the document: "XML answer is not well formed".
    std::string_view subject = "XML document";
};

// libxml2's push parser fed piece by piece, so a large document is parsed while it is read and is
// never held whole. Pieces may cut anywhere, even inside a character.
class XmlPushParser {
  public:
    XmlPushParser(ISaxReader& reader, const SaxOptions& options = {});
    ~XmlPushParser();
    XmlPushParser(const XmlPushParser&) = delete;
    XmlPushParser& operator=(const XmlPushParser&) = delete;

    // Parses the next piece; false once the parser has stopped, when the rest need not come.
    bool Feed(std::string_view piece);
    // Ends the document: Ok, or the first error as ParseXml words it.
    Status Finish();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// Parses UTF-8 (or self-declared) XML with `reader`, without network access. Fails with the
// parser's first error as "message (line L, column C)" (at most 1023 characters), or with
// "<subject> is not well formed" when the parser stopped without saying why.
Status ParseXml(std::string_view text, ISaxReader& reader, const SaxOptions& options = {});

// One of the card's database documents: the bytes up to the first NUL are CP949 (the files
// declare "euc-kr", but CP949 has syllables EUC-KR lacks), so they are decoded here and the
// declared encoding is ignored.
Status ParseDeviceDocument(std::string_view cp949Document, ISaxReader& reader);

// ParseDeviceDocument piece by piece, as the file is read and deciphered: pieces may cut anywhere;
// each is decoded and parsed as far as its last whole character.
class DeviceDocumentParser {
  public:
    explicit DeviceDocumentParser(ISaxReader& reader);

    // False once nothing more is wanted: the parser has stopped or the document's NUL came.
    bool Feed(std::string_view cp949);
    Status Finish();

  private:
    void Decode(std::string_view cp949, bool last);

    XmlPushParser parser_;
    Cp949Decoder decoder_;
    std::string carried_;  // the bytes after the last piece's last whole character
    std::string utf8_;
    bool ended_ = false;    // the NUL came
    bool stopped_ = false;  // the parser stopped
};

}  // namespace torvane
