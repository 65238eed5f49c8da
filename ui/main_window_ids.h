// The ids of the main window's picture widgets. A click reports the id of the widget hit and the
// window acts on it. The left menu's categories and entries carry the ids of the menu definition;
// the entries named here are the ones the window handles itself instead of opening a shop page.
#pragma once

namespace torvane {

enum class MainWindowId : unsigned {
    LeftMenu = 0,  // answers no click itself: its categories and entries do
    PlayerPanel = 0,
    PlayerProgressBar = 0,
    ContentButton = 2,
    UpdateButton = 3,
    TopBar = 4,
    Back = 5,
    Refresh = 6,
    Forward = 7,
    Home = 8,
    Close = 9,
    PlayerPrevious = 10,
    PlayerNext = 11,
    PlayerStop = 12,
    PlayerPlay = 13,
    PlayerSound = 14,
    PlayerVolumeKnob = 15,
    PlayerPositionKnob = 16,
    FirstMenuCategory = 1000,
    LastMenuCategory = 1999,
    ChildNamesEntry = 2001,  // the child name page rather than a shop page
    CardShopEntry = 2008,    // shop pages the service does not offer yet
    SpecialShopEntry = 2009,
};

constexpr unsigned IdOf(MainWindowId id) {
    return static_cast<unsigned>(id);
}

}  // namespace torvane
