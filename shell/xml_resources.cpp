#include "shell/xml_resources.h"

#include <QFile>

namespace torvane {

std::optional<std::string> LoadXmlResource(int id) {
    QFile file(QStringLiteral(":/xml/%1").arg(id));
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty()) return std::nullopt;
    return bytes.toStdString();
}

}  // namespace torvane
