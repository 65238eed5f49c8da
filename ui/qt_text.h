// The program keeps its text in UTF-8; Qt wants QString.
#pragma once

#include <QString>
#include <string_view>

namespace torvane {

inline QString ToQString(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace torvane
