#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// An ini file held in memory line by line, so that rewriting it keeps every line it does not
// change: comments, blank lines, unknown sections and keys, duplicate keys, and the order of
// everything. Used for the program ini, the reference-data file and each client's record.
//
// The rules follow the profile files the stored data was made with:
// - a section starts at a line "[name]"; a key line is "name=value"; lines starting with ';'
//   and lines without '=' are kept but are not keys; lines before the first section belong to
//   no section;
// - section and key names compare without regard to case; blanks around names and around '='
//   are ignored (everything up to and including blank, and control characters, is a blank);
// - when a section or a key appears twice, the first one counts;
// - values are taken verbatim: no escapes, no splitting at commas; optionally one pair of
//   surrounding quotes is removed on read (the program ini's behaviour);
// - text on disk is Windows-1252; lines this class writes end in CRLF; LF or a lone CR is
//   accepted on read, and lines left untouched keep the break they came with;
// - numbers are locale-independent: '.' as decimal point on write, ',' accepted on read.
//
// The keys of each section are indexed by name: reading a key, replacing its value or adding a
// key never scans the section (removing one does).
//
// Loading a file and saving it unchanged gives the same bytes; writing one key changes only that
// key's line (or adds one line after the section's last key, or a new section at the end), so a
// shared file keeps every byte nobody meant to change.
class TIniFile {
public:
    // An empty file with no path.
    TIniFile();
    // The file at the path; a missing file gives an empty one. Raises EQuilvaneError naming the
    // file when it exists but cannot be read.
    explicit TIniFile(const QString& fileName);

    // --- whole file ---------------------------------------------------------------------------

    // The path the file is saved to.
    const QString& FileName() const { return Path; }
    // Points the file at another path: with reload, the content is replaced by that file's (a
    // missing file gives an empty one; an unreadable one raises); without, the content stays and
    // the next UpdateFile writes it to the new path.
    void Rename(const QString& fileName, bool reload);
    // Reads the content again from FileName (missing gives empty, unreadable raises).
    void Reload();

    // Replaces the content with the bytes of a file.
    void LoadFromBytes(const QByteArray& bytes);
    // The content as stored bytes (Windows-1252).
    QByteArray ToBytes() const;

    // Writes the content to FileName: a temporary file in the same folder, then renamed over the
    // old one. Raises EQuilvaneError naming the file and the system's reason on failure; the old
    // file is then untouched.
    void UpdateFile();
    // As UpdateFile, the new file given a client record's protection before it replaces the old
    // one (TStoredFileWriter::ProtectNewFile): the file is never writable on disk.
    void UpdateProtectedFile();
    // The same to another path, without re-pointing this object.
    void SaveToFile(const QString& fileName) const;

    // Forgets every line.
    void Clear();
    // True once a write or erase changed the content since the last load or save.
    bool Modified() const { return IsModified; }

    // Whether reads remove one pair of surrounding quotes ('"' or '\'') from values.
    void SetStripQuotes(bool strip) { StripQuotesOnRead = strip; }
    bool StripQuotes() const { return StripQuotesOnRead; }

    // --- reading ------------------------------------------------------------------------------

    // Section names in file order (each once, spelled as first found).
    QStringList ReadSections() const;
    // Key names of a section in file order (duplicates once, spelled as first found).
    QStringList ReadSection(const QString& section) const;
    // "key=value" for each key of the section in file order.
    QStringList ReadSectionValues(const QString& section) const;
    bool SectionExists(const QString& section) const;
    bool SectionHasKeys(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;

    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
    // Decimal; the default when missing or not a number.
    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
    // True for a non-zero integer, false for zero; the default when missing or not a number.
    bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;
    // The default when missing or not a finite number.
    double ReadFloat(const QString& section, const QString& key, double defaultValue) const;
    // A float that must be there: false when missing or not a finite number (value untouched).
    bool TryReadFloat(const QString& section, const QString& key, double& value) const;

    // --- writing ------------------------------------------------------------------------------

    // Sets a value: the key's line is replaced where it stands; a new key goes after the last
    // key of its section; a new section goes at the end. A line break in the value becomes a
    // blank, so a typed value can never start a key or section of its own.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    // "1" or "0".
    void WriteBool(const QString& section, const QString& key, bool value);
    // Up to 15 significant digits, '.' as decimal point.
    void WriteFloat(const QString& section, const QString& key, double value);

    // Removes a section: its header and every line up to the next section (for each copy of it).
    void EraseSection(const QString& section);
    // Removes a key's lines from the section.
    void DeleteKey(const QString& section, const QString& key);

    // --- text helpers shared with other stored formats ------------------------------------------

    // A float as stored: up to 15 significant digits, '.' as decimal point.
    static QString FloatToText(double value);
    // A stored float ('.' or ','); false when it is not a finite number.
    static bool TextToFloat(const QString& text, double& value);

private:
    // A section or key name that hashes and compares without regard to case.
    struct TName {
        QString Text;
        friend bool operator==(const TName& a, const TName& b) {
            return a.Text.compare(b.Text, Qt::CaseInsensitive) == 0;
        }
        friend size_t qHash(const TName& name, size_t seed) {
            size_t hash = seed;
            for (const QChar c : name.Text) // (a pair of surrogates folds as one character)
                if (!c.isSurrogate())
                    hash = hash * 31 + QChar::toCaseFolded(c.unicode());
            return hash;
        }
    };
    enum class TLineKind { Other, Section, Key };
    struct TLine {
        QString Raw;   // the line as read or written, without its line break
        QString Break; // its line break as read ("\r\n" for lines written here); empty at the end
        TLineKind Kind = TLineKind::Other;
        QString Name;  // section or key name, trimmed
        QString Value; // key value, trimmed
    };
    // A section header and the lines up to the next one. Only the first block may have no
    // header: it holds the lines before the first section.
    struct TBlock {
        bool HasHeader = false;
        TLine Header;
        QList<TLine> Body;
        QHash<TName, int> Keys; // key name -> its first line in Body
        int LastKey = -1;       // the last key line in Body; -1 when there is none
    };

    static TLine ParseLine(const QString& raw);
    static void IndexKeys(TBlock& block);
    void IndexSections();
    void LoadFromPath(const QString& fileName);
    void WriteTo(const QString& fileName, bool protect) const;
    // The block of a section (its first copy), -1 when absent.
    int FindBlock(const QString& section) const;
    // The key's first line in the section's block, nullptr when absent.
    const TLine* FindKey(const QString& section, const QString& key) const;
    // Calls visit(line) for each key of the section in file order, a key written twice once.
    template <typename TVisit> void ForEachKey(const QString& section, TVisit visit) const;
    QString ValueOf(const TLine& line) const;
    // The line a new one follows: the last line of the file, which may lack a break, gets one.
    static void EndLine(TLine& line);
    TLine* LastLine();

    QString Path;
    QList<TBlock> Blocks;
    QHash<TName, int> SectionIndex; // section name -> its first block
    bool StripQuotesOnRead = false;
    bool IsModified = false;
};

// The memory-ini name the client record is written against.
using TMemIniFile = TIniFile;
