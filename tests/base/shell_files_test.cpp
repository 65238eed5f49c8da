// Settings of the sign-in, tmp.dat, the home page file and shop menu addresses.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/home_page_file.h"
#include "base/menu_address.h"
#include "base/settings.h"
#include "base/window_file.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace torvane {
namespace {

using test::ReadFile;
using test::TempFolder;

TEST(SignInSettings, StoredPasswordIsShownOnlyWhenRemembered) {
    MemorySettings settings;
    EXPECT_FALSE(LoadSavedSignIn(settings).rememberId);
    EXPECT_EQ(LoadSavedSignIn(settings).id, "");

    settings.SetInt(kRememberIdKey, 1);
    settings.SetString(kSavedIdKey, "kim");
    settings.SetString(kSavedPasswordKey, "secret");
    settings.SetInt(kRememberPasswordKey, 0);
    SavedSignIn saved = LoadSavedSignIn(settings);
    EXPECT_EQ(saved.id, "kim");
    EXPECT_EQ(saved.password, "");

    settings.SetInt(kRememberPasswordKey, 1);
    saved = LoadSavedSignIn(settings);
    EXPECT_TRUE(saved.rememberPassword);
    EXPECT_EQ(saved.password, "secret");
}

TEST(WindowFile, HoldsTheIdAsFourLittleEndianBytes) {
    TempFolder folder;
    EXPECT_EQ(ReadWindowFile(folder.str()), 0u);
    WriteWindowFile(folder.str(), 0x04030201u);
    EXPECT_EQ(ReadFile(folder.str() + "/tmp.dat"), std::string("\x01\x02\x03\x04", 4));
    EXPECT_EQ(ReadWindowFile(folder.str()), 0x04030201u);
    DeleteWindowFile(folder.str());
    EXPECT_FALSE(std::filesystem::exists(folder.str() + "/tmp.dat"));

    folder.WriteFile("tmp.dat", "ab");  // short file
    EXPECT_EQ(ReadWindowFile(folder.str()), 0u);
}

TEST(HomePage, FillsTheVersionAndTheNoticeHost) {
    EXPECT_EQ(FillHomeTemplate("< {Version} >{Version}<iframe src=\"{ServiceUrl}/torvane/x\">",
                               kProgramVersion, "http://127.0.0.1:8080/"),
              "< Version 1.9.7.0 >Version 1.9.7.0<iframe src=\"http://127.0.0.1:8080/torvane/x\">");
}

TEST(HomePage, RewritesThePageEveryTimeButCopiesThePictureOnce) {
    TempFolder program, temp;
    program.WriteFile("HomeBG.jpg", "first picture");
    ASSERT_TRUE(WriteHomePage(temp.str(), program.str(), "one"));
    program.WriteFile("HomeBG.jpg", "newer picture");
    ASSERT_TRUE(WriteHomePage(temp.str(), program.str(), "two"));
    EXPECT_EQ(ReadFile(temp.str() + "/home.html"), "two");
    EXPECT_EQ(ReadFile(temp.str() + "/HomeBG.jpg"), "first picture");
    EXPECT_EQ(HomeAddress(temp.str()), "file://" + temp.str() + "/home.html");

    EXPECT_FALSE(WriteHomePage(temp.str() + "/missing", program.str(), "x"));
}

TEST(MenuAddress, IdentifierAndAmpersandReferences) {
    struct Case {
        const char* address;
        const char* user;
        const char* expected;
    };
    const Case cases[] = {
        {"http://h/a.asp?userID=%s&#38;cookie=T", "kim", "http://h/a.asp?userID=kim&cookie=T"},
        {"http://h/goods_list3.asp?sch_gd_group_m=4&#38;category=a", "kim",
         "http://h/goods_list3.asp?sch_gd_group_m=4&category=a"},
        // No other formatting: escapes and stray percent signs stay, the identifier is not read
        // as a format.
        {"http://h/a%20b.asp?x=%d&userID=%s ", "a%n%s", "http://h/a%20b.asp?x=%d&userID=a%n%s "},
        {"", "kim", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatMenuAddress(c.address, c.user), c.expected);
}

}  // namespace
}  // namespace torvane
