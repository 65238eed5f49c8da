#pragma once

// The second row of a child on the child name page: one cell spread over the whole row that says
// how far the child's name voice has come and offers the step that comes next (request, apply, or
// release and listen). A click on a button reaches the page as the grid's `buttonClicked` with the
// command in place of the button's index.

#include <QString>

namespace torvane {

struct GridCell;

struct CChildInfoCell {
    // The commands the buttons send.
    static constexpr int kRequest = 100;
    static constexpr int kApply = 101;
    static constexpr int kRelease = 102;
    static constexpr int kListen = 103;
    // No text and no buttons: a child whose name voice the program knows nothing about.
    static constexpr int kBlank = -1;
};

// Makes `cell` the info cell of state 0 (no voice: request), 1 (ready: apply), 2 (applied:
// release, listen), 3 (requested: nothing to press) or kBlank, with that state's buttons.
void SetChildInfo(GridCell& cell, int state, const QString& text);

}  // namespace torvane
