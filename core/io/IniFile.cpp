#include "core/io/IniFile.h"

#include "core/files/StoredFileWriter.h"

#include "core/common/Exceptions.h"
#include "core/io/Win1252Codec.h"

#include <QFile>
#include <QFileInfo>
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
    Blocks.clear();
    Blocks.append(TBlock());
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
        if (line.Kind == TLineKind::Section) {
            TBlock block;
            block.HasHeader = true;
            block.Header = std::move(line);
            Blocks.append(std::move(block));
        } else {
            Blocks.back().Body.append(std::move(line));
        }
        start = next;
    }
    for (TBlock& block : Blocks)
        IndexKeys(block);
    IndexSections();
    IsModified = false;
}

QByteArray TIniFile::ToBytes() const {
    QString text;
    const auto add = [&text](const TLine& line) {
        text += line.Raw;
        text += line.Break;
    };
    for (const TBlock& block : Blocks) {
        if (block.HasHeader)
            add(block.Header);
        for (const TLine& line : block.Body)
            add(line);
    }
    return TWin1252Codec::Encode(text);
}

void TIniFile::EndLine(TLine& line) {
    if (line.Break.isEmpty())
        line.Break = QStringLiteral("\r\n");
}

TIniFile::TLine* TIniFile::LastLine() {
    for (qsizetype b = Blocks.size() - 1; b >= 0; --b) {
        TBlock& block = Blocks[b];
        if (!block.Body.isEmpty())
            return &block.Body.back();
        if (block.HasHeader)
            return &block.Header;
    }
    return nullptr;
}

void TIniFile::UpdateFile() {
    WriteTo(Path, false);
    IsModified = false;
}

void TIniFile::UpdateProtectedFile() {
    WriteTo(Path, true);
    IsModified = false;
}

void TIniFile::SaveToFile(const QString& fileName) const {
    WriteTo(fileName, false);
}

void TIniFile::WriteTo(const QString& fileName, bool protect) const {
    if (fileName.isEmpty())
        throw EQuilvaneError(QStringLiteral("Unable to write an ini file that has no name"));
    TStoredFileWriter file(fileName);
    if (protect)
        file.ProtectNewFile();
    const QByteArray bytes = ToBytes();
    if (file.Device().write(bytes) != bytes.size())
        throw EQuilvaneError(
            QStringLiteral("Unable to write %1 - %2").arg(fileName, file.Device().errorString()));
    file.Commit();
}

void TIniFile::Clear() {
    if (LastLine() != nullptr)
        IsModified = true;
    Blocks.clear();
    SectionIndex.clear();
}

void TIniFile::IndexKeys(TBlock& block) {
    block.Keys.clear();
    block.Keys.reserve(block.Body.size());
    block.LastKey = -1;
    for (int i = 0; i < block.Body.size(); ++i) {
        const TLine& line = block.Body[i];
        if (line.Kind != TLineKind::Key)
            continue;
        if (!block.Keys.contains(TName{line.Name})) // the first line of a key counts
            block.Keys.insert(TName{line.Name}, i);
        block.LastKey = i;
    }
}

void TIniFile::IndexSections() {
    SectionIndex.clear();
    for (int b = 0; b < Blocks.size(); ++b) {
        if (!Blocks[b].HasHeader)
            continue;
        if (!SectionIndex.contains(TName{Blocks[b].Header.Name})) // the first copy of a section counts
            SectionIndex.insert(TName{Blocks[b].Header.Name}, b);
    }
}

int TIniFile::FindBlock(const QString& section) const {
    return SectionIndex.value(TName{TrimBlanks(section)}, -1);
}

const TIniFile::TLine* TIniFile::FindKey(const QString& section, const QString& key) const {
    const int b = FindBlock(section);
    if (b < 0)
        return nullptr;
    const TBlock& block = Blocks[b];
    const int i = block.Keys.value(TName{TrimBlanks(key)}, -1);
    return i < 0 ? nullptr : &block.Body[i];
}

template <typename TVisit> void TIniFile::ForEachKey(const QString& section, TVisit visit) const {
    const int b = FindBlock(section);
    if (b < 0)
        return;
    const TBlock& block = Blocks[b];
    for (int i = 0; i <= block.LastKey; ++i)
        if (block.Body[i].Kind == TLineKind::Key && block.Keys.value(TName{block.Body[i].Name}) == i)
            visit(block.Body[i]);
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
    for (int b = 0; b < Blocks.size(); ++b)
        if (Blocks[b].HasHeader && FindBlock(Blocks[b].Header.Name) == b)
            names.append(Blocks[b].Header.Name);
    return names;
}

QStringList TIniFile::ReadSection(const QString& section) const {
    QStringList keys;
    ForEachKey(section, [&keys](const TLine& line) { keys.append(line.Name); });
    return keys;
}

QStringList TIniFile::ReadSectionValues(const QString& section) const {
    QStringList values;
    ForEachKey(section,
               [&](const TLine& line) { values.append(line.Name + QLatin1Char('=') + ValueOf(line)); });
    return values;
}

bool TIniFile::SectionExists(const QString& section) const {
    return FindBlock(section) >= 0;
}

bool TIniFile::SectionHasKeys(const QString& section) const {
    const int b = FindBlock(section);
    return b >= 0 && Blocks[b].LastKey >= 0;
}

bool TIniFile::ValueExists(const QString& section, const QString& key) const {
    return FindKey(section, key) != nullptr;
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& defaultValue) const {
    const TLine* line = FindKey(section, key);
    return line ? ValueOf(*line) : defaultValue;
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const {
    const TLine* line = FindKey(section, key);
    if (!line)
        return defaultValue;
    bool ok = false;
    const int value = ValueOf(*line).toInt(&ok, 10);
    return ok ? value : defaultValue;
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool defaultValue) const {
    const TLine* line = FindKey(section, key);
    if (!line)
        return defaultValue;
    bool ok = false;
    const int value = ValueOf(*line).toInt(&ok, 10);
    return ok ? value != 0 : defaultValue;
}

double TIniFile::ReadFloat(const QString& section, const QString& key, double defaultValue) const {
    double value = defaultValue;
    return TryReadFloat(section, key, value) ? value : defaultValue;
}

bool TIniFile::TryReadFloat(const QString& section, const QString& key, double& value) const {
    const TLine* line = FindKey(section, key);
    return line && TextToFloat(ValueOf(*line), value);
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
    TLine keyLine;
    keyLine.Raw = keyName + QLatin1Char('=') + text;
    keyLine.Break = QStringLiteral("\r\n");
    keyLine.Kind = TLineKind::Key;
    keyLine.Name = keyName;
    keyLine.Value = text;

    const int b = FindBlock(sectionName);
    if (b < 0) {
        if (TLine* last = LastLine())
            EndLine(*last);
        TBlock block;
        block.HasHeader = true;
        block.Header.Raw = QLatin1Char('[') + sectionName + QLatin1Char(']');
        block.Header.Break = QStringLiteral("\r\n");
        block.Header.Kind = TLineKind::Section;
        block.Header.Name = sectionName;
        block.Keys.insert(TName{keyName}, 0);
        block.LastKey = 0;
        block.Body.append(std::move(keyLine));
        SectionIndex.insert(TName{sectionName}, static_cast<int>(Blocks.size()));
        Blocks.append(std::move(block));
        IsModified = true;
        return;
    }
    TBlock& block = Blocks[b];
    const int existing = block.Keys.value(TName{keyName}, -1);
    if (existing >= 0) {
        TLine& line = block.Body[existing];
        const QString raw = line.Name + QLatin1Char('=') + text;
        if (line.Raw != raw) {
            line.Raw = raw;
            line.Value = text;
            IsModified = true;
        }
        return;
    }
    // After the section's last key: only lines that are not keys follow it, so no key's place
    // in the index moves.
    const int at = block.LastKey + 1;
    EndLine(at == 0 ? block.Header : block.Body[at - 1]);
    block.Keys.insert(TName{keyName}, at);
    block.LastKey = at;
    block.Body.insert(at, std::move(keyLine));
    IsModified = true;
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
    const TName name{TrimBlanks(section)};
    const qsizetype removed = Blocks.removeIf(
        [&name](const TBlock& block) { return block.HasHeader && TName{block.Header.Name} == name; });
    if (removed > 0) {
        IsModified = true;
        IndexSections();
    }
}

void TIniFile::DeleteKey(const QString& section, const QString& key) {
    const int b = FindBlock(section);
    if (b < 0)
        return;
    const TName name{TrimBlanks(key)};
    TBlock& block = Blocks[b];
    const qsizetype removed = block.Body.removeIf(
        [&name](const TLine& line) { return line.Kind == TLineKind::Key && TName{line.Name} == name; });
    if (removed > 0) {
        IsModified = true;
        IndexKeys(block);
    }
}
