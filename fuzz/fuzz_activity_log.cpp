// Reads arbitrary bytes as an activity log. A log that reads whole can be rewritten unchanged,
// added to and pruned; one that does not is refused by every writer and keeps its bytes.
#include "core/common/Exceptions.h"
#include "core/logs/LogList.h"
#include "fuzz/FuzzSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <cmath>
#include <cstring>

namespace {

struct TSetup {
    TSetup() {
        TServices::SetPrompt(std::make_shared<fuzz::TFuzzPrompt>());
        auto params = std::make_shared<TProgramParams>();
        params->LicFilePath = Folder.path();
        params->UserName = QStringLiteral("FUZZ");
        SetProgramParams(params);
        Path = QDir(Folder.path()).filePath(QStringLiteral("QUILVANE.LOG"));
    }
    QTemporaryDir Folder;
    QString Path;
};

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static TSetup setup;
    const QByteArray bytes = fuzz::InputBytes(data, size);
    if (!fuzz::WriteInputFile(setup.Path, bytes))
        return 0;

    TLogList list(lkTime);
    bool whole = true;
    try {
        list.Load();
    } catch (const EQuilvaneError&) {
        whole = false;
    }
    if (!whole) {
        list.FindRange(0, 1e7);
        bool refused = false;
        try {
            list.DeleteRange();
        } catch (const EQuilvaneError&) {
            refused = true;
        }
        fuzz::Check(refused);
        fuzz::Check(!list.Append(TLogDetails()));
        fuzz::Check(FileBytes(setup.Path) == bytes);
        return 0;
    }

    // An empty range rewrites the very bytes that were read.
    const int count = list.Count();
    list.FindRange(1e300, 1e300);
    fuzz::Check(list.FirstIndex == -1 && list.LastIndex == -1);
    list.DeleteRange();
    fuzz::Check(list.Count() == count);
    fuzz::Check(bytes.isEmpty() ? FileBytes(setup.Path) == QByteArray(1, '\0')
                                : FileBytes(setup.Path) == bytes);

    TLogDetails added;
    added.DateFrom = 739000.5;
    fuzz::Check(list.Append(added));
    list.Load();
    fuzz::Check(list.Count() == count + 1);

    // A range from the input's first bytes: exactly the entries inside it go.
    double from = 0;
    double to = 0;
    if (size >= 2) {
        from = 738000 + data[0] * 8;
        to = from + data[1] * 8;
    }
    list.FindRange(from, to);
    fuzz::Check(list.FirstIndex >= -1 && list.FirstIndex < list.Count() && list.LastIndex < list.Count());
    int inside = 0;
    for (int i = 0; i < list.Count(); ++i) {
        const double day = list.GetItem(i).DateFrom;
        inside += (day >= from && std::trunc(day) <= std::trunc(to)) ? 1 : 0;
    }
    list.DeleteRange();
    TLogList reread(lkTime);
    reread.Load();
    fuzz::Check(reread.Count() == count + 1 - inside && list.Count() == reread.Count());
    return 0;
}
