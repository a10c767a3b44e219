#pragma once

#include "core/accounts/AccountFormat.h"
#include "core/settings/ProgramParams.h"

#include <QByteArray>
#include <QString>
#include <memory>

// Reference tables for the accounts-chart tests: the practice's standard format "QUILVANE"
// (branch-account-sub-account, keyed account first) with the usual ranges, a branch-first
// format "BRANCHKEY" (same mask, keyed branch first), a "CEE DATA" format with four parts and
// three different separators, the account types and two currencies.
inline QByteArray AccountsChartReferenceText() {
    return QByteArray(
        "[VERSION]\r\nRELEASE=2006.1\r\n\r\n"
        "[ENTITY TYPES]\r\nNSP=Other Entity\r\nSUP=Superannuation Fund\r\n\r\n"
        "[CURRENCY]\r\nAUD=Australian Dollar,36,1.0\r\nUSD=United States Dollar,840,0.65\r\n\r\n"
        "[ACCOUNT TYPES]\r\nACC=Ordinary,Y\r\nANP=Non-Posting,N\r\nBAL=Balance Total,N\r\nBNK=Bank,Y\r\n"
        "BSH=Balance Sheet Heading,N\r\nCTL=Control,N\r\nPRL=Profit and Loss "
        "Heading,N\r\nSUS=Suspense,Y\r\n\r\n"
        "[ACCOUNT RANGE TYPES]\r\nALL=ALL\r\nBNK=Bank Accounts\r\nBSH=Balance Sheet\r\nPRL=Profit and "
        "Loss\r\n"
        "SUS=Suspense Accounts\r\n\r\n"
        "[ACCOUNT FORMATS]\r\nQUILVANE=QUILVANE,BB-AAAA-SS,ASB,Quilvane Standard\r\n"
        "BRANCHKEY=BRANCHKEY,BB-AAAA-SS,BAS,Branch first\r\n"
        "CEE DATA=CEEDATA,BB-DD.AAAA/SS,BDAS,Older layout\r\n\r\n"
        "[QUILVANE]\r\nALL=00-0000-00 to 99-9999-99\r\nBNK=2000 to 99-2099-99\r\nBSH=2000 to 99-4999-99\r\n"
        "PRL=0100 to 99-1999-99\r\nSUS=9000 to 99-9999-99\r\n\r\n"
        "[BRANCHKEY]\r\nALL=00-0000-00 to 99-9999-99\r\nBNK=00-2000-00 to 00-2099-99\r\n"
        "BSH=00-2000-00 to 00-4999-99\r\nPRL=00-0100-00 to 00-1999-99\r\nSUS=99-9000-00 to 99-9999-99\r\n\r\n"
        "[CEE DATA]\r\nALL=00-00.0000/00 to 99-99.9999/99\r\nBNK=00-00.2000/00 to 00-00.2099/99\r\n"
        "BSH=00-00.2000/00 to 00-00.4999/99\r\nPRL=00-00.0100/00 to 00-00.1999/99\r\n"
        "SUS=00-00.9000/00 to 00-00.9999/99\r\n");
}

// Installs program settings holding the tables above for the life of the object.
class TAccountsChartTables {
public:
    TAccountsChartTables() : Params(std::make_shared<TProgramParams>()) {
        Params->LoadFromBytes(AccountsChartReferenceText(), QStringLiteral("Quilvane.DAT"));
        SetProgramParams(Params);
    }
    ~TAccountsChartTables() { SetProgramParams(nullptr); }
    TAccountsChartTables(const TAccountsChartTables&) = delete;
    TAccountsChartTables& operator=(const TAccountsChartTables&) = delete;

    TAccountFormat* Format(const QString& code = QStringLiteral("QUILVANE")) const {
        return Params->FindAccountFormat(code);
    }

    std::shared_ptr<TProgramParams> Params;
};
