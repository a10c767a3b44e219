#include "controls/pictures/PictureFormats.h"

#include "controls/pictures/IconFile.h"
#include "core/services/Services.h"

#include <QImageReader>
#include <QMimeData>

namespace {

const QString IconMimeType = QStringLiteral("image/vnd.microsoft.icon");
const QString OtherIconMimeType = QStringLiteral("image/x-icon");

struct TRegistry {
    bool Registered = false;
    QList<PictureFormats::TPictureFileFormat> FileFormats;
    QStringList ClipboardFormats;
};

TRegistry& Registry() {
    static TRegistry registry;
    return registry;
}

QString NormalExtension(QString extension) {
    if (extension.startsWith(u'.'))
        extension.remove(0, 1);
    return extension.toLower();
}

} // namespace

namespace PictureFormats {

QStringList Required() {
    return {QStringLiteral("gif"), QStringLiteral("ico"), QStringLiteral("jpeg")};
}

QStringList MissingFrom(const QList<QByteArray>& supported) {
    QStringList missing;
    for (const QString& format : Required())
        if (!supported.contains(format.toLatin1()))
            missing.append(format);
    return missing;
}

QStringList Missing() {
    return MissingFrom(QImageReader::supportedImageFormats());
}

QString MissingFormatsText(const QStringList& missing) {
    if (missing.isEmpty())
        return QString();
    const QString formats = missing.join(QStringLiteral(", ")).toUpper();
    return missing.size() == 1
               ? QStringLiteral(
                     "Pictures in the format %1 cannot be read: its image plugin is not installed.")
                     .arg(formats)
               : QStringLiteral(
                     "Pictures in the formats %1 cannot be read: their image plugins are not installed.")
                     .arg(formats);
}

QString GIFClipboardFormat() {
    return QStringLiteral("GIF Image");
}

QString IconClipboardFormat() {
    return QStringLiteral("QUILVANE Icon");
}

QString ClipboardMimeType(const QString& formatName) {
    return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"").arg(formatName);
}

QStringList Register() {
    return Register(QImageReader::supportedImageFormats());
}

QStringList Register(const QList<QByteArray>& supported) {
    TRegistry& registry = Registry();
    if (!registry.Registered) {
        registry.Registered = true;
        registry.FileFormats = {{QStringLiteral("gif"), QStringLiteral("CompuServe GIF Image")}};
        registry.ClipboardFormats = {GIFClipboardFormat(), IconClipboardFormat()};
    }
    const QStringList missing = MissingFrom(supported);
    if (!missing.isEmpty())
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Warning, MissingFormatsText(missing),
                           TMessageButton::OK);
    return missing;
}

void Unregister() {
    Registry() = TRegistry();
}

bool IsRegistered() {
    return Registry().Registered;
}

QList<TPictureFileFormat> FileFormats() {
    return Registry().FileFormats;
}

QString FileFormatDescription(const QString& extension) {
    const QString wanted = NormalExtension(extension);
    for (const TPictureFileFormat& format : Registry().FileFormats)
        if (format.Extension == wanted)
            return format.Description;
    return QString();
}

QString FileFilter() {
    QStringList filters;
    for (const TPictureFileFormat& format : Registry().FileFormats)
        filters.append(QStringLiteral("%1 (*.%2)").arg(format.Description, format.Extension));
    return filters.join(QStringLiteral(";;"));
}

QStringList ClipboardFormats() {
    return Registry().ClipboardFormats;
}

void SetIcon(QMimeData& data, const QByteArray& icon) {
    const QImage image = IconFile::Decode(icon, QStringLiteral("Icon"));
    data.setData(ClipboardMimeType(IconClipboardFormat()), icon);
    data.setData(IconMimeType, icon);
    data.setImageData(image);
}

bool HasIcon(const QMimeData& data) {
    return data.hasFormat(ClipboardMimeType(IconClipboardFormat())) || data.hasFormat(IconMimeType) ||
           data.hasFormat(OtherIconMimeType);
}

QByteArray Icon(const QMimeData& data) {
    for (const QString& format :
         {ClipboardMimeType(IconClipboardFormat()), IconMimeType, OtherIconMimeType}) {
        if (!data.hasFormat(format))
            continue;
        const QByteArray icon = data.data(format);
        IconFile::Check(icon, QStringLiteral("The icon on the clipboard"));
        return icon;
    }
    throw EPictureError(QStringLiteral("The clipboard holds no icon."));
}

} // namespace PictureFormats
