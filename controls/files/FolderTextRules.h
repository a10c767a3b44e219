#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

// The rules of the folder edits, with no widget. A folder edit holds one folder, or with
// MultipleDirs several folders joined by ";". Folder texts are kept in one form: without a
// trailing separator, except the root, which is the separator itself.
class TFolderTextRules {
public:
    // The top of the folder tree: where browsing starts when nothing better is known.
    static QString Root();

    // True when the name can be read and is a folder.
    static bool DirExists(const QString& name);

    // The name without one final separator; the root keeps its separator.
    static QString RemoveTrailingSeparator(const QString& name);

    // The folder text in its kept form: every folder of the list (or the whole text) without a
    // trailing separator.
    static QString NormalizedText(const QString& text, bool multipleDirs);

    // What a received name is on disk.
    enum class TNameKind { nkFile, nkFolder, nkOther };
    static TNameKind NameKind(const QString& name);

    // The names a drop carries: the local files and folders among the URLs, in order (other URLs
    // name nothing here); only the first unless MultipleDirs.
    static QStringList DroppedNames(const QList<QUrl>& urls, bool multipleDirs);

    // The folder a received name stands for: a file its folder, a folder itself, both with one
    // trailing separator; a name that is neither stands for itself.
    static QString ReceivedFolder(const QString& name, TNameKind kind);

    // The text after a name is received (dropped or typed in): the folder the name stands for,
    // appended after ";" to a non-empty text with MultipleDirs, otherwise in place of the text.
    static QString ReceptFileDir(const QString& text, const QString& name, bool multipleDirs, TNameKind kind);
    static QString ReceptFileDir(const QString& text, const QString& name, bool multipleDirs);

    // The folder the browser starts in: an empty text starts at InitialDir (the root when that is
    // empty too), and a start that is no existing folder becomes the root.
    static QString StartFolder(const QString& text, const QString& initialDir);

    // The edit's text after the browser returned Chosen: the selected part of the text goes
    // first; then Chosen replaces the text, or with MultipleDirs is appended after ";" to a
    // non-empty text.
    static QString ChosenText(const QString& text, int selectionStart, int selectionLength,
                              const QString& chosen, bool multipleDirs);

    // The path with its components kept as long as they exist: from the first component that
    // cannot be found on, the rest of the path is left out. With MultipleDirs every folder of
    // the list is converted and empty results are left out of the joined list.
    static QString LongName(const QString& text, bool multipleDirs);
    // Names have one form only here, so a short name is the name itself (each folder of a list
    // kept, empty parts left out).
    static QString ShortName(const QString& text, bool multipleDirs);

private:
    static QString LongPath(const QString& path);
};
