// The one XML layer under the card's databases, the service's answers and the menu: damage is
// rejected the same way everywhere, with the parser's first complaint and where it is.
#include "common/xml_sax.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace torvane {
namespace {

// Records what a reader is told: element texts whole, and the attributes of every start.
class RecordingReader final : public ISaxReader {
  public:
    void OnStart(std::string_view name, const SaxAttributes& attributes) override {
        text.Start(name);
        for (int i = 0; i < attributes.Count(); ++i) {
            const SaxAttribute attribute = attributes.At(i);
            seen.push_back(std::string(attribute.name) + "=" + std::string(attribute.value));
        }
        if (const auto n = attributes.Find("n")) decodedN = SaxAttributes::DecodeAmpersands(*n);
    }
    void OnEnd(std::string_view) override {
        if (text.HasText()) seen.push_back(text.Element() + ":" + text.Text());
        text.End();
    }
    void OnText(std::string_view run) override { text.Append(run); }

    ElementText text;
    std::vector<std::string> seen;
    std::string decodedN;
};

TEST(XmlSax, DamageFailsWithTheFirstComplaintAndWhereItIs) {
    const struct {
        const char* document;
        const char* messageStart;
    } cases[] = {
        {"<a><b></a>", "Opening and ending tag mismatch: b"},
        {"<TorvaneDefault><contentsList>", "Extra content at the end of the document"},
        {"<p:a/>", "Namespace prefix p on a is not defined"},  // an error, not only fatal ones
        {"", "Extra content at the end of the document"},      // the push parser's word for it
    };
    for (const auto& c : cases) {
        RecordingReader reader;
        const Status status = ParseXml(c.document, reader);
        EXPECT_FALSE(status.ok()) << c.document;
        EXPECT_EQ(status.message().rfind(c.messageStart, 0), 0u) << status.message();
        EXPECT_NE(status.message().find("(line 1, column "), std::string::npos) << status.message();
    }
}

TEST(XmlSax, TextIsWholeAcrossEntityRunsAndAttributesKeepTheirAmpersandReference) {
    RecordingReader reader;
    const Status status = ParseXml(
        "<d><r d=\"2026\" n=\"Tom &amp; Jerry\">a&amp;b<![CDATA[<c>]]></r><e/></d>", reader);
    ASSERT_TRUE(status.ok()) << status.message();
    EXPECT_EQ(reader.seen, (std::vector<std::string>{"d=2026", "n=Tom &#38; Jerry", "r:a&b<c>"}));
    EXPECT_EQ(reader.decodedN, "Tom & Jerry");
}

TEST(XmlSax, DeviceDocumentIsCp949UpToItsFirstNul) {
    RecordingReader reader;
    // "가" in CP949 under a declaration that names another encoding; padding after the NUL.
    const std::string document =
        std::string("<?xml version=\"1.0\" encoding=\"euc-kr\"?><t>\xb0\xa1</t>") + '\0' + "junk";
    const Status status = ParseDeviceDocument(document, reader);
    ASSERT_TRUE(status.ok()) << status.message();
    EXPECT_EQ(reader.seen, (std::vector<std::string>{"t:\xea\xb0\x80"}));
}

// Default.dat is parsed as it is read, so its pieces cut anywhere: inside a two-byte character,
// between a lead byte and an ASCII trail byte, just before the NUL. Every cut gives what the whole
// document gives, a damaged pair included.
TEST(XmlSax, DeviceDocumentInPiecesReadsAsWhole) {
    const std::string document =
        std::string("<?xml version=\"1.0\" encoding=\"euc-kr\"?><d>") +
        "<t>\xb0\xa1 \x8c\x63\x81\x41x</t><t>\xa2\xe8</t><t>a&amp;\xb0\xa1</t>" +
        "<t>\xb0</t></d>" + '\0' + "\xb0junk";
    RecordingReader whole;
    const Status wholeStatus = ParseDeviceDocument(document, whole);
    ASSERT_TRUE(wholeStatus.ok()) << wholeStatus.message();
    ASSERT_EQ(whole.seen.size(), 4u);
    for (std::size_t size = 1; size <= 9; ++size) {
        RecordingReader reader;
        DeviceDocumentParser parser(reader);
        for (std::size_t at = 0; at < document.size() && parser.Feed(document.substr(at, size));
             at += size) {
        }
        const Status status = parser.Finish();
        EXPECT_EQ(status.message(), wholeStatus.message()) << size;
        EXPECT_EQ(reader.seen, whole.seen) << size;
    }
}

// A service answer with a byte its declared encoding cannot decode: libxml2 stops there, and
// what it read up to that point is not the answer (a catalogue of three would show one).
TEST(XmlSax, AByteTheDeclaredEncodingCannotDecodeFailsTheParse) {
    for (const char* declared : {"euc-kr", "utf-8"}) {
        RecordingReader reader;
        const std::string answer = std::string("<?xml version=\"1.0\" encoding=\"") + declared +
                                   "\"?><l><i>1</i><i>\xFF\xFF</i><i>3</i></l>";
        EXPECT_FALSE(ParseXml(answer, reader).ok()) << declared;
    }
}

// More than libxml2 takes in one piece (10 MB), and a device document that size both ways.
TEST(XmlSax, DocumentsLargerThanTenMegabytesAreReadWhole) {
    std::string document = "<l>";
    const std::string item = "<i>" + std::string(100, 'x') + "</i>";
    while (document.size() < 12'000'000) document += item;
    document += "<last>end</last></l>";
    RecordingReader reader;
    const Status status = ParseDeviceDocument(document, reader);
    ASSERT_TRUE(status.ok()) << status.message();
    EXPECT_EQ(reader.seen.back(), "last:end");
}

}  // namespace
}  // namespace torvane
