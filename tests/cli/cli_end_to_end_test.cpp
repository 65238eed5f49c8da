// torvane-cli against the local content service: the whole way from the command line through the
// service client's sign-in and catalogue reader to the service's answers.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "store/content_types.h"
#include "tests/support/service_test_util.h"
#include "tools/demo_service/demo_service.h"

namespace torvane::test {
namespace {

class CliAgainstServiceTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(service_.Start(0)) << service_.Error(); }

    ProgramRun Cli(const std::string& password, std::vector<std::string> command) {
        std::vector<std::string> arguments = {TORVANE_CLI_BIN, "--service", service_.BaseUrl(),
                                              "--user",        "demo",      "--password-stdin"};
        arguments.insert(arguments.end(), command.begin(), command.end());
        return RunProgram(arguments, {Input::Piped, password + "\n"});
    }

    demo::DemoService service_;
};

TEST_F(CliAgainstServiceTest, LoginSignsInAndRefusesAWrongPassword) {
    const ProgramRun ok = Cli("demo1234", {"login"});
    EXPECT_EQ(ok.exitCode, 0) << ok.err;
    EXPECT_NE(ok.out.find("demo"), std::string::npos) << ok.out;

    const ProgramRun wrong = Cli("not-the-password", {"login"});
    EXPECT_EQ(wrong.exitCode, 4);
    EXPECT_NE((wrong.out + wrong.err).find("암호가 틀립니다."), std::string::npos) << wrong.err;
}

// The password never stands on the command line, where every user's process list shows it.
TEST_F(CliAgainstServiceTest, ThePasswordIsNeverAnArgument) {
    const ProgramRun old = RunProgram({TORVANE_CLI_BIN, "--service", service_.BaseUrl(), "--user",
                                       "demo", "--password", "demo1234", "login"});
    EXPECT_NE(old.exitCode, 0);
    const ProgramRun empty = RunProgram({TORVANE_CLI_BIN, "--service", service_.BaseUrl(), "--user",
                                         "demo", "--password-stdin", "login"},
                                        {Input::Empty, ""}, {"TORVANE_PASSWORD=demo1234"});
    EXPECT_NE(empty.exitCode, 0) << "an empty standard input is no password";
    const ProgramRun environment =
        RunProgram({TORVANE_CLI_BIN, "--service", service_.BaseUrl(), "--user", "demo", "login"},
                   {Input::Empty, ""}, {"TORVANE_PASSWORD=demo1234"});
    EXPECT_EQ(environment.exitCode, 0) << environment.err;
}

TEST_F(CliAgainstServiceTest, CatalogueJsonHoldsTheAccountsContentsOnTheirShelves) {
    const ProgramRun run = Cli("demo1234", {"catalogue", "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const nlohmann::json shelves = nlohmann::json::parse(run.out);

    std::size_t contents = 0;
    for (Shelf shelf : kAllShelves) {
        const std::string key(ShelfKey(shelf));
        ASSERT_TRUE(shelves.contains(key)) << key;
        EXPECT_FALSE(shelves[key].empty()) << "the demo account has something on " << key;
        contents += shelves[key].size();
    }
    EXPECT_EQ(contents, 13u);

    const nlohmann::json& language = shelves["language"];
    const auto korean = std::find_if(language.begin(), language.end(),
                                     [](const auto& c) { return c["contentNo"] == "L0002"; });
    ASSERT_NE(korean, language.end());
    EXPECT_EQ((*korean)["name"], "똠방각하 한글 놀이") << "a syllable only CP949 has";
    const std::string url = (*korean)["files"][0]["fileUrl"];
    EXPECT_NE(url.find("?contentNo=L0002&fileNo=1"), std::string::npos) << url;
}

}  // namespace
}  // namespace torvane::test
