#include "controls/pictures/PictureFormats.h"

#include <QImageReader>

namespace PictureFormats {

QStringList Required() {
    return {QStringLiteral("gif"), QStringLiteral("ico"), QStringLiteral("jpeg")};
}

QStringList Missing() {
    const QList<QByteArray> supported = QImageReader::supportedImageFormats();
    QStringList missing;
    for (const QString& format : Required())
        if (!supported.contains(format.toLatin1()))
            missing.append(format);
    return missing;
}

} // namespace PictureFormats
