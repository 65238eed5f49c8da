// The recording sink's texts as Qt strings, for the desktop tests' QCOMPARE (Qt only).
#pragma once

#include <QString>
#include <QStringList>

#include "tests/support/recording_sink.h"

namespace torvane::test {

// Every text shown or asked, in order.
inline QStringList Said(const RecordingSink& sink) {
    QStringList texts;
    for (const std::string& text : sink.said) texts << QString::fromStdString(text);
    return texts;
}

}  // namespace torvane::test
