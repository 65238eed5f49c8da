#pragma once

#include <QFont>

namespace torvane {

// The program's one typeface. The pages were laid out for "굴림" (Gulim); where that font is not
// installed, NanumGothic (Debian's fonts-nanum) stands in, so Hangul never falls back to a font
// without it.
QString AppFontFamily();

// The family above at a point size, weight 700 when bold else 400.
QFont AppFont(int pointSize, bool bold = false);

// The family above at a point size and an explicit weight on the 100..900 scale (the pager draws
// its other page numbers at weight 100).
QFont AppFontWeight(int pointSize, int weight);

// Makes the family above the application's default font (call once after QApplication exists).
void InstallAppFont();

}  // namespace torvane
