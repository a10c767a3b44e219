#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QMimeData;

// The picture formats the program adds to the toolkit's: GIF pictures as a picture file format
// and a clipboard format, and a clipboard format for icons. Start-up registers them and checks that
// the image plugins the program reads pictures with are installed; the end of the program
// unregisters them (TPictureFormatsRegistration does both).
namespace PictureFormats {

// The picture formats the program reads through the image plugins: "gif", "ico" and "jpeg".
QStringList Required();
// Those of them that no installed image plugin reads; empty when all are there.
QStringList Missing();
// Those of them missing from a list of formats the plugins read.
QStringList MissingFrom(const QList<QByteArray>& supported);
// What the user is told at start-up about missing formats; empty when none is missing.
QString MissingFormatsText(const QStringList& missing);

// The registered clipboard formats' names: "GIF Image" for GIF pictures and "QUILVANE Icon" for
// icons, each carried as the MIME type that names a registered clipboard format.
QString GIFClipboardFormat();
QString IconClipboardFormat();
QString ClipboardMimeType(const QString& formatName);

// Registers the file extension "gif" as "CompuServe GIF Image" and the two clipboard formats (a
// second call changes nothing), then checks the image plugins and tells the user, in a warning
// through the prompt, which formats cannot be read. Returns the missing formats.
QStringList Register();
QStringList Register(const QList<QByteArray>& supported);
// Takes the GIF file format and the clipboard formats out again.
void Unregister();
bool IsRegistered();

// The registered picture file formats, by extension in lower case, and their descriptions.
struct TPictureFileFormat {
    QString Extension;
    QString Description;
};
QList<TPictureFileFormat> FileFormats();
// The description of a registered extension (any case, with or without the dot); empty for
// others.
QString FileFormatDescription(const QString& extension);
// A file dialog's filter of the registered formats: "CompuServe GIF Image (*.gif)".
QString FileFilter();
// The names of the registered clipboard formats.
QStringList ClipboardFormats();

// Icons on the clipboard: the icon file's bytes in the program's icon format and as
// "image/vnd.microsoft.icon", with the icon's image for other programs. The icon is checked
// first (EPictureError).
void SetIcon(QMimeData& data, const QByteArray& icon);
// Whether the data holds an icon in either format.
bool HasIcon(const QMimeData& data);
// The icon the data holds, checked; raises EPictureError when it holds none or a damaged one.
QByteArray Icon(const QMimeData& data);

} // namespace PictureFormats

// Registers the picture formats for its lifetime: the program's start-up makes one before the
// first window and keeps it to the end.
class TPictureFormatsRegistration {
public:
    TPictureFormatsRegistration() { PictureFormats::Register(); }
    ~TPictureFormatsRegistration() { PictureFormats::Unregister(); }
    TPictureFormatsRegistration(const TPictureFormatsRegistration&) = delete;
    TPictureFormatsRegistration& operator=(const TPictureFormatsRegistration&) = delete;
};
