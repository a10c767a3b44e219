// Parses arbitrary bytes as an ini file and writes it back: the bytes come back unchanged, every
// value reads the same again, and edits land exactly where they should without disturbing the rest.
#include "core/io/IniFile.h"
#include "fuzz/FuzzSupport.h"

namespace {

// Every section, key and value in file order, as one list.
QStringList Everything(const TIniFile& ini) {
    QStringList all;
    for (const QString& section : ini.ReadSections())
        for (const QString& key : ini.ReadSection(section)) {
            all << section << key << ini.ReadString(section, key, QString());
            (void)ini.ReadFloat(section, key,
                                ini.ReadInteger(section, key, ini.ReadBool(section, key, false)));
        }
    return all;
}

TIniFile Parse(const QByteArray& bytes) {
    TIniFile ini;
    ini.LoadFromBytes(bytes);
    return ini;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzz::Check;
    const QByteArray bytes = fuzz::InputBytes(data, size);
    const TIniFile ini = Parse(bytes);
    const QStringList all = Everything(ini);
    Check(ini.ToBytes() == bytes);

    // Every value rewritten in place, a key (whose line break must not start a line) added to
    // each section that lacks it, and a new section at the end.
    TIniFile edited = Parse(bytes);
    const QString added = QStringLiteral("FuzzAddedKey"), newSection = QStringLiteral("FuzzAddedSection");
    const QStringList sections = ini.ReadSections();
    const auto gainsKey = [&](const QString& section) {
        return !ini.ValueExists(section, added) && section.compare(newSection, Qt::CaseInsensitive) != 0;
    };
    for (qsizetype i = 0; i < all.size(); i += 3)
        edited.WriteString(all[i], all[i + 1], all[i + 2] + 'x');
    for (const QString& section : sections)
        if (gainsKey(section))
            edited.WriteString(section, added, QStringLiteral("v\r\nInjected=1"));
    edited.WriteString(newSection, added, QStringLiteral("1"));
    TIniFile reread = Parse(edited.ToBytes());
    for (qsizetype i = 0; i < all.size(); i += 3)
        Check(reread.ReadString(all[i], all[i + 1], QString()) == all[i + 2] + 'x');
    for (const QString& section : sections)
        Check(!gainsKey(section) ||
              (reread.ReadString(section, added, QString()) == "v  Injected=1" &&
               reread.ReadSection(section).size() == ini.ReadSection(section).size() + 1));
    Check(reread.ReadString(newSection, added, QString()) == QStringLiteral("1"));

    // Erasing every section leaves nothing that reads as one.
    for (const QString& section : reread.ReadSections())
        reread.EraseSection(section);
    Check(Parse(reread.ToBytes()).ReadSections().isEmpty());
    return 0;
}
