#pragma once

// What the fuzz targets share: a prompter that answers every box without a display, the
// program settings read from the shipped reference data, and the input written to disk.

#include "core/services/Services.h"
#include "core/services/UserPrompt.h"
#include "core/settings/ProgramParams.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace fuzz {

// Answers every box at once: Cancel where offered when PreferCancel, then Ignore where offered
// when PreferIgnore (so a failed load never retries), else Otherwise.
class TFuzzPrompt : public IUserPrompt {
public:
    void Beep(TBeep) override {}
    TMessageButton ShowMessage(TMessageKind, const QString&, TMessageButtons buttons, int) override {
        if (PreferCancel && buttons.testFlag(TMessageButton::Cancel))
            return TMessageButton::Cancel;
        if (PreferIgnore && buttons.testFlag(TMessageButton::Ignore))
            return TMessageButton::Ignore;
        return Otherwise;
    }
    bool InputText(const QString&, const QString&, QString&) override { return false; }

    bool PreferCancel = false;
    bool PreferIgnore = true;
    TMessageButton Otherwise = TMessageButton::OK;
};

// Stops the run where a rule does not hold.
inline void Check(bool condition) {
    if (!condition)
        __builtin_trap();
}

inline QByteArray InputBytes(const std::uint8_t* data, std::size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// Replaces the file with the bytes given; false if it could not be written whole.
inline bool WriteInputFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Program settings holding the shipped reference data (not yet installed).
inline std::shared_ptr<TProgramParams> ShippedProgramParams() {
    auto params = std::make_shared<TProgramParams>();
    params->TReferenceData::Load(TProgramParams::ShippedReferenceDataPath());
    return params;
}

} // namespace fuzz
