// Loads arbitrary bytes as a reference-data file. A load either succeeds or raises
// EQuilvaneError; range boxes shown while loading are answered OK. After a successful load the
// tables must be consistent: the default country inside its list, every format with its "ALL"
// range when the file lists that range type, and the lookups answering for every code.
#include "core/accounts/AccountFormat.h"
#include "core/reference/ReferenceData.h"
#include "core/common/Exceptions.h"
#include "fuzz/FuzzSupport.h"

#include <QByteArray>
#include <cstdint>
#include <memory>

namespace {

using fuzz::Check;

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
        // OK to every box, whatever it offers.
        auto prompt = std::make_shared<fuzz::TFuzzPrompt>();
        prompt->PreferIgnore = false;
        TServices::SetPrompt(prompt);
        return true;
    }();
    (void)installed;

    TReferenceData reference;
    const QByteArray bytes = fuzz::InputBytes(data, size);
    try {
        reference.LoadFromBytes(bytes, QStringLiteral("/fuzz/Quilvane.DAT"));
    } catch (const EQuilvaneError&) {
        return 0;
    }
    CheckTables(reference);
    return 0;
}
