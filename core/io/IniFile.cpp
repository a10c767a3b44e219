#include "core/io/IniFile.h"

#include "core/files/StoredFileWriter.h"

#include "core/common/Exceptions.h"
#include "core/io/Win1252Codec.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <cmath>

namespace {

// Blanks are everything up to and including the space: tabs, stray control characters.
bool IsBlank(QChar c) {
    return c.unicode() <= 0x20;
}

QString TrimBlanks(const QString& text) {
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && IsBlank(text[start]))
        ++start;
    while (end > start && IsBlank(text[end - 1]))
        --end;
    return (start == 0 && end == text.size()) ? text : text.mid(start, end - start);
}

// A value as it may be stored on one line.
QString Sanitise(const QString& value) {
    QString clean = value;
    for (QChar& c : clean)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char(' ');
    return clean;
}

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

TIniFile::TIniFile() = default;

TIniFile::TIniFile(const QString& fileName) : Path(fileName) {
    LoadFromPath(fileName);
}

void TIniFile::Rename(const QString& fileName, bool reload) {
    Path = fileName;
    if (reload)
        LoadFromPath(fileName);
}

void TIniFile::Reload() {
    LoadFromPath(Path);
}

void TIniFile::LoadFromPath(const QString& fileName) {
    if (fileName.isEmpty() || !QFileInfo::exists(fileName)) {
        Clear();
        IsModified = false;
        return;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EQuilvaneError(QStringLiteral("Unable to read %1 - %2").arg(fileName, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EQuilvaneError(QStringLiteral("Unable to read %1 - %2").arg(fileName, file.errorString()));
    LoadFromBytes(bytes);
}

TIniFile::TLine TIniFile::ParseLine(const QString& raw) {
    TLine line;
    line.Raw = raw;
    const QString trimmed = TrimBlanks(raw);
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char(';')))
        return line;
    if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']')) && trimmed.size() >= 2) {
        line.Kind = TLineKind::Section;
        line.Name = TrimBlanks(trimmed.mid(1, trimmed.size() - 2));
        return line;
    }
    const qsizetype eq = trimmed.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return line;
    const QString name = TrimBlanks(trimmed.left(eq));
    if (name.isEmpty())
        return line;
    line.Kind = TLineKind::Key;
    line.Name = name;
    line.Value = TrimBlanks(trimmed.mid(eq + 1));
    return line;
}

void TIniFile::LoadFromBytes(const QByteArray& bytes) {
    Lines.clear();
    const QString text = TWin1252Codec::Decode(bytes);
    qsizetype start = 0;
    const qsizetype size = text.size();
    while (start < size) {
        qsizetype pos = start;
        while (pos < size && text[pos] != QLatin1Char('\n') && text[pos] != QLatin1Char('\r'))
            ++pos;
        TLine line = ParseLine(text.mid(start, pos - start));
        // CRLF, LF or a lone CR ends the line.
        qsizetype next = pos;
        if (pos < size) {
            next = pos + 1;
            if (text[pos] == QLatin1Char('\r') && next < size && text[next] == QLatin1Char('\n'))
                ++next;
        }
        line.Break = text.mid(pos, next - pos);
        Lines.append(std::move(line));
        start = next;
    }
    RebuildIndex();
    IsModified = false;
}

QByteArray TIniFile::ToBytes() const {
    QString text;
    for (const TLine& line : Lines) {
        text += line.Raw;
        text += line.Break;
    }
    return TWin1252Codec::Encode(text);
}

void TIniFile::InsertLine(qsizetype index, TLine line) {
    // The line before a new one must end in a break, even when it was the last of the file.
    if (index > 0 && Lines[index - 1].Break.isEmpty())
        Lines[index - 1].Break = QStringLiteral("\r\n");
    line.Break = QStringLiteral("\r\n");
    Lines.insert(index, std::move(line));
    IsModified = true;
}

void TIniFile::UpdateFile() {
    SaveToFile(Path);
    IsModified = false;
}

void TIniFile::SaveToFile(const QString& fileName) const {
    if (fileName.isEmpty())
        throw EQuilvaneError(QStringLiteral("Unable to write an ini file that has no name"));
    TStoredFileWriter file(fileName);
    const QByteArray bytes = ToBytes();
    if (file.Device().write(bytes) != bytes.size())
        throw EQuilvaneError(
            QStringLiteral("Unable to write %1 - %2").arg(fileName, file.Device().errorString()));
    file.Commit();
}

void TIniFile::Clear() {
    if (!Lines.isEmpty())
        IsModified = true;
    Lines.clear();
    SectionIndex.clear();
}

void TIniFile::RebuildIndex() {
    SectionIndex.clear();
    for (qsizetype i = 0; i < Lines.size(); ++i) {
        if (Lines[i].Kind != TLineKind::Section)
            continue;
        const QString folded = Fold(Lines[i].Name);
        if (!SectionIndex.contains(folded))
            SectionIndex.insert(folded, static_cast<int>(i));
    }
}

int TIniFile::FindSection(const QString& section) const {
    return SectionIndex.value(Fold(TrimBlanks(section)), -1);
}

int TIniFile::SectionEnd(int headerLine) const {
    qsizetype i = headerLine + 1;
    while (i < Lines.size() && Lines[i].Kind != TLineKind::Section)
        ++i;
    return static_cast<int>(i);
}

int TIniFile::FindKey(const QString& section, const QString& key) const {
    const int header = FindSection(section);
    if (header < 0)
        return -1;
    const QString name = TrimBlanks(key);
    const int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i)
        if (Lines[i].Kind == TLineKind::Key && SameName(Lines[i].Name, name))
            return i;
    return -1;
}

QString TIniFile::ValueOf(const TLine& line) const {
    const QString& value = line.Value;
    if (StripQuotesOnRead && value.size() >= 2) {
        const QChar first = value.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

QStringList TIniFile::ReadSections() const {
    QStringList names;
    for (qsizetype i = 0; i < Lines.size(); ++i)
        if (Lines[i].Kind == TLineKind::Section && SectionIndex.value(Fold(Lines[i].Name), -1) == i)
            names.append(Lines[i].Name);
    return names;
}

QList<int> TIniFile::FirstKeyLines(const QString& section) const {
    QList<int> lines;
    const int header = FindSection(section);
    if (header < 0)
        return lines;
    const int end = SectionEnd(header);
    QSet<QString> seen;
    for (int i = header + 1; i < end; ++i) {
        if (Lines[i].Kind != TLineKind::Key)
            continue;
        const QString folded = Fold(Lines[i].Name);
        if (seen.contains(folded))
            continue;
        seen.insert(folded);
        lines.append(i);
    }
    return lines;
}

QStringList TIniFile::ReadSection(const QString& section) const {
    QStringList keys;
    for (int i : FirstKeyLines(section))
        keys.append(Lines[i].Name);
    return keys;
}

QStringList TIniFile::ReadSectionValues(const QString& section) const {
    QStringList values;
    for (int i : FirstKeyLines(section))
        values.append(Lines[i].Name + QLatin1Char('=') + ValueOf(Lines[i]));
    return values;
}

bool TIniFile::SectionExists(const QString& section) const {
    return FindSection(section) >= 0;
}

bool TIniFile::SectionHasKeys(const QString& section) const {
    const int header = FindSection(section);
    if (header < 0)
        return false;
    const int end = SectionEnd(header);
    for (int i = header + 1; i < end; ++i)
        if (Lines[i].Kind == TLineKind::Key)
            return true;
    return false;
}

bool TIniFile::ValueExists(const QString& section, const QString& key) const {
    return FindKey(section, key) >= 0;
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& defaultValue) const {
    const int i = FindKey(section, key);
    return i < 0 ? defaultValue : ValueOf(Lines[i]);
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const {
    const int i = FindKey(section, key);
    if (i < 0)
        return defaultValue;
    bool ok = false;
    const int value = ValueOf(Lines[i]).toInt(&ok, 10);
    return ok ? value : defaultValue;
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool defaultValue) const {
    const int i = FindKey(section, key);
    if (i < 0)
        return defaultValue;
    bool ok = false;
    const int value = ValueOf(Lines[i]).toInt(&ok, 10);
    return ok ? value != 0 : defaultValue;
}

double TIniFile::ReadFloat(const QString& section, const QString& key, double defaultValue) const {
    double value = defaultValue;
    return TryReadFloat(section, key, value) ? value : defaultValue;
}

bool TIniFile::TryReadFloat(const QString& section, const QString& key, double& value) const {
    const int i = FindKey(section, key);
    return i >= 0 && TextToFloat(ValueOf(Lines[i]), value);
}

QString TIniFile::FloatToText(double value) {
    return QString::number(value, 'g', 15);
}

bool TIniFile::TextToFloat(const QString& text, double& value) {
    QString plain = TrimBlanks(text);
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    // Only plain decimal notation: digits, one point, a sign and an exponent.
    for (QChar c : plain)
        if (!(c.isDigit() && c.unicode() < 0x80) && c != QLatin1Char('.') && c != QLatin1Char('-') &&
            c != QLatin1Char('+') && c != QLatin1Char('e') && c != QLatin1Char('E'))
            return false;
    bool ok = false;
    const double parsed = plain.toDouble(&ok);
    if (!ok || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    const QString sectionName = TrimBlanks(Sanitise(section));
    const QString keyName = TrimBlanks(Sanitise(key));
    const QString text = TrimBlanks(Sanitise(value));
    const int existing = FindKey(sectionName, keyName);
    if (existing >= 0) {
        TLine& line = Lines[existing];
        const QString raw = line.Name + QLatin1Char('=') + text;
        if (line.Raw != raw) {
            line.Raw = raw;
            line.Value = text;
            IsModified = true;
        }
        return;
    }
    TLine keyLine;
    keyLine.Raw = keyName + QLatin1Char('=') + text;
    keyLine.Kind = TLineKind::Key;
    keyLine.Name = keyName;
    keyLine.Value = text;
    const int header = FindSection(sectionName);
    if (header >= 0) {
        const int end = SectionEnd(header);
        int last = header;
        for (int i = header + 1; i < end; ++i)
            if (Lines[i].Kind == TLineKind::Key)
                last = i;
        InsertLine(last + 1, keyLine);
        RebuildIndex();
        return;
    }
    TLine headerLine;
    headerLine.Raw = QLatin1Char('[') + sectionName + QLatin1Char(']');
    headerLine.Kind = TLineKind::Section;
    headerLine.Name = sectionName;
    InsertLine(Lines.size(), headerLine);
    InsertLine(Lines.size(), keyLine);
    RebuildIndex();
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString& section, const QString& key, bool value) {
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::WriteFloat(const QString& section, const QString& key, double value) {
    WriteString(section, key, FloatToText(value));
}

void TIniFile::EraseSection(const QString& section) {
    const QString name = TrimBlanks(section);
    bool removed = false;
    qsizetype i = 0;
    while (i < Lines.size()) {
        if (Lines[i].Kind == TLineKind::Section && SameName(Lines[i].Name, name)) {
            const qsizetype end = SectionEnd(static_cast<int>(i));
            Lines.remove(i, end - i);
            removed = true;
        } else {
            ++i;
        }
    }
    if (removed) {
        IsModified = true;
        RebuildIndex();
    }
}

void TIniFile::DeleteKey(const QString& section, const QString& key) {
    const int header = FindSection(section);
    if (header < 0)
        return;
    const QString name = TrimBlanks(key);
    int end = SectionEnd(header);
    bool removed = false;
    for (int i = header + 1; i < end;) {
        if (Lines[i].Kind == TLineKind::Key && SameName(Lines[i].Name, name)) {
            Lines.removeAt(i);
            --end;
            removed = true;
        } else {
            ++i;
        }
    }
    if (removed) {
        IsModified = true;
        RebuildIndex();
    }
}
