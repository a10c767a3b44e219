// Loads arbitrary bytes as a reference-data file. A load either succeeds or raises EQuilvaneError
// (range boxes shown while loading are answered OK); after a successful one the tables hold
// together: the default country inside its list and every format and lookup answering.
#include "core/accounts/AccountFormat.h"
#include "core/accounts/AccountGroup.h"
#include "core/common/Exceptions.h"
#include "core/reference/ReferenceData.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto prompt = fuzz::InstallPrompt(false);
    (void)prompt;
    TReferenceData reference;
    try {
        reference.LoadFromBytes(fuzz::InputBytes(data, size), QStringLiteral("/fuzz/Quilvane.DAT"));
    } catch (const EQuilvaneError&) {
        return 0;
    }
    fuzz::Check(reference.DefaultCountryIndex >= -1 &&
                reference.DefaultCountryIndex < reference.Countries.Count());
    for (int i = 0; i < reference.AccountFormats.Count(); ++i) {
        const TAccountFormat* format = reference.FindAccountFormat(reference.AccountFormats.Code(i));
        fuzz::Check(format == reference.AccountFormats.Row(i));
        if (const TAccountGroup* all = format->AllRange())
            (void)(format->FormatCode(all->FromCode()) + format->MakeCodeKey(all->ToCode()));
        fuzz::Check(!reference.GetAccountFormatCodeByTessalyID(format->TessalyID).isEmpty());
    }
    for (const QString& code : reference.EntityTypes.Codes())
        (void)reference.GetEntityTypeName(code);
    return 0;
}
