#include "core/entity/BASKeyTable.h"

#include "core/entity/EntityDetail.h"
#include "core/io/IniFile.h"

#include <algorithm>
#include <type_traits>

namespace {

// Pointers to the field a key names, const when the record is.
template <class TDetail>
using TFieldRef =
    std::conditional_t<std::is_const_v<TDetail>,
                       std::variant<const quint8*, const int*, const bool*, const double*, const QString*>,
                       std::variant<quint8*, int*, bool*, double*, QString*>>;

template <class... TCases> struct TOverloaded : TCases... { using TCases::operator()...; };
template <class... TCases> TOverloaded(TCases...) -> TOverloaded<TCases...>;

std::vector<TBASKey> MakeTable() {
    using D = TEntityDetail;
    std::vector<TBASKey> keys;
    const auto add = [&keys](const char* name, TBASKey::TMember member,
                             TBASKey::TRole role = TBASKey::Plain) {
        keys.push_back({QString::fromLatin1(name), member, 0, role});
    };
    const auto addIndexed = [&keys](const char* name, TBASKey::TMember member, int count) {
        for (int i = 1; i <= count; ++i)
            keys.push_back({QString::fromLatin1(name) + QString::number(i), member, i, TBASKey::Plain});
    };
    add("GSTGroupOption", &D::GSTGroupOption);
    addIndexed("GSTGroupFile", &D::GSTGroupFile, 20);
    add("GSTRepresentativeFile", &D::GSTRepresentativeFile);
    add("ABN", &D::ABN);
    add("GSTRegistration", &D::GSTRegistration);
    add("GSTIgnoreRegistrationPeriodValidation", &D::GSTIgnoreRegistrationPeriodValidation);
    add("GSTReportBasis", &D::GSTReportBasis);
    add("GST_Option", &D::GST_Option);
    add("GST_G21", &D::GST_G21);
    add("GST_G22", &D::GST_G22);
    add("GST_G23", &D::GST_G23);
    add("GST_G23VaryToZero", &D::GST_G23VaryToZero);
    add("GST_VariationReason", &D::GST_VariationReason);
    addIndexed("GSTInstalmentQtr", &D::GSTInstalmentQtr, 4);
    add("GSTInstalmentStartQtr", &D::GSTInstalmentStartQtr);
    add("PAYGWithholdingType", &D::PAYGWithholdingType);
    add("SalaryWagesAccounts", &D::SalaryWagesAccounts, TBASKey::FromMaster);
    add("SalaryWagesWithheldAccounts", &D::SalaryWagesWithheldAccounts, TBASKey::FromMaster);
    add("ABNWithholdingTaxAccounts", &D::ABNWithholdingTaxAccounts, TBASKey::FromMaster);
    add("TFNWithholdingTaxAccounts", &D::TFNWithholdingTaxAccounts, TBASKey::FromMaster);
    add("TaxFileNumber", &D::TaxFileNumber);
    add("PAYGInstalmentType", &D::PAYGInstalmentType);
    add("CashIncomeAccounts", &D::CashIncomeAccounts, TBASKey::FromMaster);
    add("AccrualsIncomeAccounts", &D::AccrualsIncomeAccounts, TBASKey::FromMaster);
    add("ATOInstalmentRate", &D::ATOInstalmentRate);
    add("VariedInstalmentRate", &D::VariedInstalmentRate);
    add("TaxInstalmentsCreditAdj", &D::TaxInstalmentsCreditAdj);
    add("VariationReason", &D::VariationReason);
    add("PAYG_Option", &D::PAYG_Option);
    add("PAYGI_UsePayQuarterlyGDP", &D::PAYGI_UsePayQuarterlyGDP);
    add("PAYGI_UseCommissionerGDP", &D::PAYGI_UseCommissionerGDP);
    add("PAYGI_CommissionerGDP", &D::PAYGI_CommissionerGDP);
    add("PAYGI_UseVariedGDPAmount", &D::PAYGI_UseVariedGDPAmount);
    add("PAYGI_EstimatedBenchmark", &D::PAYGI_EstimatedBenchmark);
    add("PAYGI_VariedGDPAmount", &D::PAYGI_VariedGDPAmount);
    add("WETLCTLiability", &D::WETLCTLiability);
    add("WineEqualisationAccountsPayable", &D::WineEqualisationAccountsPayable, TBASKey::FromMaster);
    add("WineEqualisationAccountsRefundable", &D::WineEqualisationAccountsRefundable, TBASKey::FromMaster);
    add("LuxuryCarAccountsPayable", &D::LuxuryCarAccountsPayable, TBASKey::FromMaster);
    add("LuxuryCarAccountsRefundable", &D::LuxuryCarAccountsRefundable, TBASKey::FromMaster);
    add("FBTInstalmentPeriod", &D::FBTInstalmentPeriod);
    add("FBTInstalment", &D::FBTInstalment);
    add("FBTVariation", &D::FBTVariation);
    add("FBTVariedToZero", &D::FBTVariedToZero);
    add("FBTEstimatedPayable", &D::FBTEstimatedPayable);
    add("FBTVariationReason", &D::FBTVariationReason);
    add("FBTVariationCredit", &D::FBTVariationCredit);
    add("FBTPayFinalQtrInstalment", &D::FBTPayFinalQtrInstalment);
    addIndexed("DeferredInstalmentQ", &D::DeferredInstalmentQ, 4);
    add("BASExportFileCode", &D::BASExportFileCode);
    add("BASExportFilePath", &D::BASExportFilePath, TBASKey::Folder);
    add("BASExportFormat", &D::BASExportFormat);
    add("BASImportECIPath", &D::BASImportECIPath, TBASKey::Folder);
    return keys;
}

// The field a key names in the record.
template <class TDetail> TFieldRef<TDetail> FieldOf(TDetail& detail, const TBASKey& key) {
    const auto element = static_cast<std::size_t>(key.Index);
    return std::visit(TOverloaded{
                          [&](std::array<QString, 21> TEntityDetail::*member) -> TFieldRef<TDetail> {
                              return &(detail.*member)[element];
                          },
                          [&](std::array<double, 5> TEntityDetail::*member) -> TFieldRef<TDetail> {
                              return &(detail.*member)[element];
                          },
                          [&](auto member) -> TFieldRef<TDetail> { return &(detail.*member); },
                      },
                      key.Member);
}

} // namespace

const std::vector<TBASKey>& BASKeys() {
    static const std::vector<TBASKey> keys = MakeTable();
    return keys;
}

void ClearBASFields(TEntityDetail& detail) {
    for (const TBASKey& key : BASKeys())
        std::visit([](auto* field) { *field = {}; }, FieldOf(detail, key));
}

void ReadBASFields(const TIniFile& file, const QString& section, TEntityDetail& detail,
                   TBASKeySelection selection) {
    for (const TBASKey& key : BASKeys()) {
        if ((selection == TBASKeySelection::ExceptFolders && key.Role == TBASKey::Folder) ||
            (selection == TBASKeySelection::FromMaster && key.Role != TBASKey::FromMaster))
            continue;
        std::visit(TOverloaded{
                       [&](quint8* field) {
                           *field = static_cast<quint8>(
                               std::clamp(file.ReadInteger(section, key.Name, *field), 0, 255));
                       },
                       [&](int* field) { *field = file.ReadInteger(section, key.Name, *field); },
                       [&](bool* field) { *field = file.ReadBool(section, key.Name, *field); },
                       [&](double* field) { *field = file.ReadFloat(section, key.Name, *field); },
                       [&](QString* field) { *field = file.ReadString(section, key.Name, *field); },
                   },
                   FieldOf(detail, key));
    }
}

void WriteBASFields(TIniFile& file, const QString& section, const TEntityDetail& detail) {
    for (const TBASKey& key : BASKeys()) {
        std::visit(TOverloaded{
                       [&](const quint8* field) { file.WriteInteger(section, key.Name, *field); },
                       [&](const int* field) { file.WriteInteger(section, key.Name, *field); },
                       [&](const bool* field) { file.WriteBool(section, key.Name, *field); },
                       [&](const double* field) { file.WriteFloat(section, key.Name, *field); },
                       [&](const QString* field) {
                           file.WriteString(section, key.Name,
                                            field == &detail.ABN ? field->trimmed() : *field);
                       },
                   },
                   FieldOf(detail, key));
    }
}
