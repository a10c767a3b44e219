// Parses arbitrary bytes as an ini file, reads everything, writes it back and parses again: the
// second parse must see the same sections, keys and values, and every kind of edit must land
// where it should without disturbing anything else.
#include "core/io/IniFile.h"

#include <QList>
#include <QString>
#include <cstdint>
#include <cstdlib>

namespace {

struct TEntry {
    QString Section;
    QString Key;
    QString Value;
    friend bool operator==(const TEntry&, const TEntry&) = default;
};

QList<TEntry> Everything(const TIniFile& ini) {
    QList<TEntry> all;
    for (const QString& section : ini.ReadSections())
        for (const QString& key : ini.ReadSection(section)) {
            all.append({section, key, ini.ReadString(section, key, QString())});
            (void)ini.ReadInteger(section, key, 0);
            (void)ini.ReadBool(section, key, false);
            (void)ini.ReadFloat(section, key, 0);
        }
    return all;
}

void Check(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TIniFile ini;
    ini.LoadFromBytes(bytes);
    const QList<TEntry> all = Everything(ini);
    (void)ini.ReadSectionValues(QStringLiteral("REGIONAL"));

    // Written back unchanged, it is the same bytes and reads the same.
    Check(ini.ToBytes() == bytes);
    TIniFile again;
    again.LoadFromBytes(ini.ToBytes());
    Check(Everything(again) == all);
    Check(again.ToBytes() == ini.ToBytes());

    // Rewriting every value in place keeps the shape; adding a key to each section and a new
    // section at the end shows up exactly there.
    TIniFile edited;
    edited.LoadFromBytes(bytes);
    for (const TEntry& entry : all)
        edited.WriteString(entry.Section, entry.Key, entry.Value + QStringLiteral("x"));
    const QString added = QStringLiteral("FuzzAddedKey");
    const QString newSection = QStringLiteral("FuzzAddedSection");
    const auto gainsKey = [&](const QString& section) {
        return !ini.ValueExists(section, added) && section.compare(newSection, Qt::CaseInsensitive) != 0;
    };
    for (const QString& section : ini.ReadSections())
        if (gainsKey(section))
            edited.WriteString(section, added, QStringLiteral("v\r\nInjected=1"));
    edited.WriteString(newSection, added, QStringLiteral("1"));

    TIniFile reread;
    reread.LoadFromBytes(edited.ToBytes());
    for (const TEntry& entry : all)
        Check(reread.ReadString(entry.Section, entry.Key, QString()) == entry.Value + QStringLiteral("x"));
    for (const QString& section : ini.ReadSections()) {
        if (!gainsKey(section))
            continue;
        Check(reread.ReadString(section, added, QString()) == QStringLiteral("v  Injected=1"));
        Check(reread.ReadSection(section).size() == ini.ReadSection(section).size() + 1);
    }
    Check(reread.ReadString(newSection, added, QString()) == QStringLiteral("1"));

    // Erasing every section leaves nothing that reads as a key.
    for (const QString& section : ini.ReadSections())
        reread.EraseSection(section);
    reread.EraseSection(newSection);
    TIniFile empty;
    empty.LoadFromBytes(reread.ToBytes());
    Check(empty.ReadSections().isEmpty());
    return 0;
}
