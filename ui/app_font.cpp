#include "ui/app_font.h"

#include <QApplication>
#include <QFontDatabase>

namespace torvane {

QString AppFontFamily() {
    static const QString family = [] {
        const QStringList families = QFontDatabase::families();
        for (const QString& wanted : {QStringLiteral("굴림"), QStringLiteral("Gulim")}) {
            if (families.contains(wanted, Qt::CaseInsensitive)) return wanted;
        }
        return QStringLiteral("NanumGothic");
    }();
    return family;
}

QFont AppFontWeight(int pointSize, int weight) {
    QFont font(AppFontFamily());
    font.setPointSize(pointSize);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QFont AppFont(int pointSize, bool bold) {
    return AppFontWeight(pointSize, bold ? QFont::Bold : QFont::Normal);
}

void InstallAppFont() {
    QApplication::setFont(AppFont(9, false));
}

}  // namespace torvane
