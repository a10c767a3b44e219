// Loads arbitrary bytes as a reference-data file. A load either succeeds or raises
// EQuilvaneError; range boxes shown while loading are answered OK. After a successful load the
// tables must be consistent: the default country inside its list, every format with its "ALL"
// range when the file lists that range type, and the lookups answering for every code.
#include "core/accounts/AccountFormat.h"
#include "core/reference/ReferenceData.h"
#include "core/services/Exceptions.h"
#include "core/services/Services.h"

#include <QByteArray>
#include <cstdint>
#include <memory>

namespace {

class TAnswerOK : public IUserPrompt {
public:
    void Beep(TBeep) override {}
    TMessageButton ShowMessage(TMessageKind, const QString&, TMessageButtons, int) override {
        return TMessageButton::OK;
    }
    bool InputText(const QString&, const QString&, QString&) override { return false; }
};

void Check(bool condition) {
    if (!condition)
        __builtin_trap();
}

void CheckTables(const TReferenceData& data) {
    Check(data.DefaultCountryIndex >= -1 && data.DefaultCountryIndex < data.Countries.Count());
    const bool allListed = data.AccountRangeTypes.Contains(QStringLiteral("ALL"));
    for (int i = 0; i < data.AccountFormats.Count(); ++i) {
        const QString code = data.AccountFormats.Code(i);
        const TAccountFormat* format = data.FindAccountFormat(code);
        Check(format == data.AccountFormats.Row(i));
        Check(!allListed || format->AllRange() != nullptr);
        if (const TAccountGroup* all = format->AllRange()) {
            (void)format->FormatCode(all->FromCode());
            (void)format->MakeCodeKey(all->ToCode());
        }
        (void)data.GetAccountFormatCodeByTessalyID(format->TessalyID);
    }
    for (const QString& code : data.AccountTypes.Codes())
        (void)data.GetAccountTypeFlag(code);
    for (const QString& code : data.EntityTypes.Codes())
        (void)data.GetEntityTypeName(code);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool installed = [] {
        TServices::SetPrompt(std::make_shared<TAnswerOK>());
        return true;
    }();
    (void)installed;

    TReferenceData reference;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        reference.LoadFromBytes(bytes, QStringLiteral("/fuzz/Quilvane.DAT"));
    } catch (const EQuilvaneError&) {
        return 0;
    }
    CheckTables(reference);
    return 0;
}
