#include "ui/pictures.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

#include "ui/picture_ids.h"

// The pictures are compiled into this static library; their registration must be pulled in
// explicitly or the linker drops it.
static void EnsurePicturesRegistered() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(pictures);
        return true;
    }();
    (void)registered;
}

namespace torvane {

QString PicturePath(int id) {
    EnsurePicturesRegistered();
    return QStringLiteral(":/pictures/%1.svg").arg(id);
}

QString PicturePath(const QString& name) {
    EnsurePicturesRegistered();
    return QStringLiteral(":/pictures/%1.svg").arg(name);
}

bool HasPicture(int id) {
    return id > 0 && QFile::exists(PicturePath(id));
}

QString PictureText(int id) {
    for (const pic::Text& entry : pic::kTexts)
        if (entry.id == id) return QString::fromUtf8(entry.text);
    return {};
}

QPixmap LoadPicture(int id) {
    if (!HasPicture(id)) return {};
    QSvgRenderer renderer(PicturePath(id));
    const QSize size = renderer.defaultSize();
    if (!renderer.isValid() || size.isEmpty()) return {};
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    renderer.render(&painter);
    return pixmap;
}

}  // namespace torvane
