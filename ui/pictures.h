#pragma once

#include <QPixmap>
#include <QString>

namespace torvane {

// The program's pictures live in its resources as ":/pictures/<id>.svg", one per picture id;
// a few pictures that are files rather than widget pictures (the home page's "HomeBG") go by
// name. Both paths are usable at once: asking for one registers the resources.
QString PicturePath(int id);
QString PicturePath(const QString& name);

// Renders picture `id` at its natural size; a missing or unreadable id gives a null pixmap.
QPixmap LoadPicture(int id);

// Whether picture `id` exists in the resources.
bool HasPicture(int id);

// The words picture `id` shows, or for a picture of a sign what pressing it does; empty for
// pictures that are only decoration.
QString PictureText(int id);

}  // namespace torvane
