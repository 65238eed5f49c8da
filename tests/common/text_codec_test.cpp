#include "common/text_codec.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace torvane {
namespace {

struct CodecCase {
    const char* name;
    std::string utf8;
    std::string cp949;
};

// "가" is in EUC-KR; "똠" only in CP949's extension; "A&" is plain ASCII.
const CodecCase kCases[] = {
    {"ascii", "A&b", "A&b"},
    {"euc_kr_syllable", "\xEA\xB0\x80", "\xB0\xA1"},
    {"cp949_only_syllable", "\xEB\x98\xA0", "\x8C\x63"},
    {"empty", "", ""},
};

class CodecRoundTrip : public ::testing::TestWithParam<CodecCase> {};

TEST_P(CodecRoundTrip, ConvertsBothWays) {
    const CodecCase& c = GetParam();
    EXPECT_EQ(Utf8ToCp949(c.utf8), c.cp949);
    EXPECT_EQ(Utf8ToCp949Xml(c.utf8), c.cp949);
    EXPECT_EQ(Cp949ToUtf8(c.cp949), c.utf8);
}

INSTANTIATE_TEST_SUITE_P(Texts, CodecRoundTrip, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TextCodec, CharacterOutsideCp949) {
    const std::string snowman = "a\xE2\x98\x83z";  // U+2603 has no CP949 form
    EXPECT_EQ(Utf8ToCp949(snowman), "a?z");
    EXPECT_EQ(Utf8ToCp949Xml(snowman), "a&#9731;z");
}

TEST(TextCodec, InvalidInputDoesNotStopConversion) {
    EXPECT_EQ(Cp949ToUtf8("a\xFF"
                          "b"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(Utf8ToCp949("a\xC3"
                          "b"),
              "a?b");
}

// glibc swallows some invalid CP949 pairs (A2 E8) before it reports them: the decoder must not
// skip a byte more, neither past the end of the input nor over the "<" that follows.
TEST(TextCodec, BadCp949PairsBecomeOneReplacementAndLoseNothingElse) {
    const std::string bad = "\xEF\xBF\xBD";
    const struct {
        std::string_view cp949;
        std::string utf8;
    } cases[] = {
        {"a\xA2\xE8", "a" + bad},
        {"\xA2\xE8", bad},
        {"a\xA2\xE8<b", "a" + bad + "<b"},
        {"<n>\xA2\xE8</n>", "<n>" + bad + "</n>"},
        {"a\xB0<b", "a" + bad + "<b"},
        {"a\xB0", "a" + bad},
        {"\xA2\xE8\xA2\xE8", bad + bad},
        {"\xB0\xA1\xA2\xE8\xB0\xA1", "\xEA\xB0\x80" + bad + "\xEA\xB0\x80"},
    };
    for (const auto& c : cases) EXPECT_EQ(Cp949ToUtf8(c.cp949), c.utf8) << c.utf8;
}

// A character reference to a code point XML forbids makes the whole document unreadable.
TEST(TextCodec, XmlTextNeverReferencesWhatXmlForbids) {
    const struct {
        std::string_view utf8;
        std::string_view cp949;
    } cases[] = {
        {"a\xED\xA0\x80z", "a&#65533;z"},       // a surrogate, U+D800
        {"a\xEF\xBF\xBEz", "a&#65533;z"},       // U+FFFE
        {"a\xF0\x80z", "a&#65533;z"},           // a cut four-byte sequence
        {"a\xC0\xAFz", "a&#65533;&#65533;z"},   // an overlong "/"
        {"a\xF0\x9F\x98\x80z", "a&#128512;z"},  // a real character CP949 lacks
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8ToCp949Xml(c.utf8), c.cp949) << c.cp949;
}

// Random texts from pieces that meet at every kind of cut: ASCII, whole characters, CP949 pairs
// whose trail byte is an ASCII letter, cut and invalid sequences. The shortcut that copies ASCII
// runs must give what iconv gives over the whole text.
TEST(TextCodec, AsciiShortcutGivesWhatIconvGivesOverTheWholeText) {
    const std::vector<std::string> cp949Pieces = {
        "<a>",  "x",    "0",    "\xB0\xA1", "\x8C\x63", "\x81\x41", "\xA2\xE8",         "\xFF",
        "\x80", "\xB0", "\xC9", "\xFE\xFE", "\xA1\x7A", "&amp;",    "\xB0\xA1\xB0\xA1", "\x81"};
    const std::vector<std::string> utf8Pieces = {"<a>",
                                                 "x",
                                                 "0",
                                                 "\xEA\xB0\x80",
                                                 "\xEB\x98\xA0",
                                                 "\xE2\x98\x83",
                                                 "\xC3",
                                                 "\xF0\x9F\x98\x80",
                                                 "\xED\xA0\x80",
                                                 "\xEF\xBF\xBE",
                                                 "\xF0\x80",
                                                 "\xC0\xAF",
                                                 "\x80",
                                                 "\xBF\xBF",
                                                 "&"};
    std::mt19937 random(949);
    const auto make = [&](const std::vector<std::string>& pieces) {
        std::string text;
        const std::size_t count = random() % 24;
        for (std::size_t i = 0; i < count; ++i) text += pieces[random() % pieces.size()];
        return text;
    };
    for (int round = 0; round < 2000; ++round) {
        const std::string cp949 = make(cp949Pieces);
        ASSERT_EQ(Cp949ToUtf8(cp949), Cp949ToUtf8WithoutShortcut(cp949))
            << ::testing::PrintToString(cp949);
        const std::string utf8 = make(utf8Pieces);
        ASSERT_EQ(Utf8ToCp949Xml(utf8), Utf8ToCp949XmlWithoutShortcut(utf8))
            << ::testing::PrintToString(utf8);
    }
}

TEST(TextCodec, LowersOnlyAscii) {
    EXPECT_EQ(ToLowerAscii("00000001.MP3\xB0\xA1"), "00000001.mp3\xB0\xA1");
}

}  // namespace
}  // namespace torvane
