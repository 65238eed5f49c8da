#include "shell/message_box_sink.h"

#include <QIcon>
#include <QMessageBox>

#include "ui/picture_ids.h"
#include "ui/pictures.h"

namespace torvane {
namespace {

QMessageBox::Icon IconFor(MessageKind kind) {
    switch (kind) {
        case MessageKind::Information:
            return QMessageBox::Information;
        case MessageKind::Exclamation:
            return QMessageBox::Warning;
        case MessageKind::Error:
            return QMessageBox::Critical;
        case MessageKind::Question:
            return QMessageBox::Question;
        case MessageKind::Plain:
            break;
    }
    return QMessageBox::NoIcon;
}

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void MessageBoxSink::Show(MessageKind kind, std::string_view text) {
    QMessageBox box(IconFor(kind), ToQString(kMessageCaption), ToQString(text), QMessageBox::Ok,
                    parent_);
    box.setWindowIcon(QIcon(PicturePath(pic::kAppIcon)));
    box.exec();
}

bool MessageBoxSink::Ask(MessageKind kind, std::string_view question) {
    QMessageBox box(IconFor(kind), ToQString(kMessageCaption), ToQString(question),
                    QMessageBox::Yes | QMessageBox::No, parent_);
    box.setWindowIcon(QIcon(PicturePath(pic::kAppIcon)));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace torvane
