// Arbitrary bytes as an activity log: one that reads (its whole entries, perhaps followed by what
// a cut write left) is rewritten as those entries, added to and pruned of exactly the entries in
// range; a damaged one keeps its bytes: a rewrite is refused, and an append either is refused too
// or, reading only the end of a long log, adds after its end byte.
#include "core/common/Exceptions.h"
#include "core/logs/LogList.h"
#include "fuzz/FuzzSupport.h"

#include <QTemporaryDir>
#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir folder;
    static const QString path = folder.filePath(QStringLiteral("QUILVANE.LOG"));
    if (!HasProgramParams()) {
        fuzz::InstallPrompt();
        SetProgramParams(std::make_shared<TProgramParams>());
        ProgramParams().LicFilePath = folder.path();
    }
    const QByteArray bytes = fuzz::InputBytes(data, size);
    if (!fuzz::WriteInputFile(path, bytes))
        return 0;
    TLogList list(lkTime);
    const double from = size >= 2 ? 738000 + data[0] * 8 : 0;
    const double to = size >= 2 ? from + data[1] * 8 : 0;
    try {
        list.Load();
    } catch (const EQuilvaneError&) {
        list.FindRange(from, to);
        try {
            list.DeleteRange();
            fuzz::Check(false);
        } catch (const EQuilvaneError&) {
        }
        fuzz::Check(fuzz::ReadFileBytes(path) == bytes);
        const bool appended = list.Append(TLogDetails());
        const QByteArray after = fuzz::ReadFileBytes(path);
        fuzz::Check(appended ? after.size() > bytes.size() && after.startsWith(bytes.chopped(1))
                             : after == bytes);
        return 0;
    }
    const int count = list.Count();
    list.FindRange(1e300, 1e300);
    list.DeleteRange();
    // The whole entries keep their bytes, followed by one end byte.
    const QByteArray rewritten = fuzz::ReadFileBytes(path);
    fuzz::Check(rewritten.endsWith('\0') && bytes.startsWith(rewritten.chopped(1)) && list.Count() == count);
    TLogList whole(lkTime);
    whole.Load();
    fuzz::Check(whole.Count() == count);
    fuzz::Check(list.Append(TLogDetails()));
    list.Load();
    list.FindRange(from, to);
    int inside = 0;
    for (const TLogDetails& entry : list.Entries)
        inside += entry.DateFrom >= from && std::trunc(entry.DateFrom) <= std::trunc(to) ? 1 : 0;
    list.DeleteRange();
    TLogList reread(lkTime);
    reread.Load();
    fuzz::Check(list.Count() == count + 1 - inside && reread.Count() == list.Count());
    return 0;
}
