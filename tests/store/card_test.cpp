#include "store/card.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "tests/support/temp_folder.h"

namespace torvane {
namespace {

// The pages show the firmware's version as the card's info.dat says it, every byte of it; a card
// without one shows what was shown before, so the read must tell "empty" from "not there".
TEST(CardFirmwareInfo, IsTheWholeFileOrNothing) {
    test::TempFolder root;
    const auto card = std::make_shared<Card>(root.str());
    EXPECT_EQ(card->ReadFirmwareInfo(), std::nullopt) << "no info.dat";

    root.WriteFile("info.dat", "");
    EXPECT_EQ(card->ReadFirmwareInfo(), std::optional<std::string>("")) << "an empty one";

    const std::string text("FW 2.1.0\r\n\0build 7", 19);
    root.WriteFile("info.dat", text);
    EXPECT_EQ(card->ReadFirmwareInfo(), text) << "kept past a NUL and line ends";
}

}  // namespace
}  // namespace torvane
