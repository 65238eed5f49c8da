#include "ui/child_info_cell.h"

#include "ui/grid_cell.h"
#include "ui/image_widgets.h"
#include "ui/picture_ids.h"

namespace torvane {

namespace {

// The first button of states 0, 1 and 2: its picture and width.
struct InfoButton {
    int picture;
    int width;
};

}  // namespace

void SetChildInfo(GridCell& cell, int state, const QString& text) {
    static constexpr InfoButton kFirst[] = {
        {pic::kNameVoiceRequest, 119}, {pic::kNameVoiceApply, 41}, {pic::kNameVoiceRelease, 41}};
    cell.kind = CellKind::ChildInfo;
    cell.infoState = state;
    cell.text = text;
    cell.buttons = {};
    const auto make = [](int picture, int width) {
        auto button = std::make_shared<CImgButton>(nullptr, picture, 0, 0, 0, width, 23);
        button->LoadFromResources(picture, picture, QString());
        return button;
    };
    if (state >= 0 && state <= 2)
        cell.buttons[0] = make(kFirst[state].picture, kFirst[state].width);
    if (state == 2) cell.buttons[1] = make(pic::kNameVoiceListen, 63);
}

}  // namespace torvane
