#include "store/text_codec.h"

#include <gtest/gtest.h>

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

TEST(TextCodec, LowersOnlyAscii) {
    EXPECT_EQ(ToLowerAscii("00000001.MP3\xB0\xA1"), "00000001.mp3\xB0\xA1");
}

}  // namespace
}  // namespace torvane
