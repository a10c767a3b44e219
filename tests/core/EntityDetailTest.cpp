#include "tests/core/EntityTestSupport.h"

#include "core/charts/MasterChart.h"
#include "core/charts/StdDescChart.h"
#include "core/common/Exceptions.h"

using namespace Option;

namespace {

// Every key of the BAS table with a value that differs from its default, in stored order.
QStringList BASLines() {
    QStringList lines{QStringLiteral("GSTGroupOption=2")};
    for (int i = 1; i <= 20; ++i)
        lines.append(QStringLiteral("GSTGroupFile%1=GRP%2").arg(i).arg(i, 3, 10, QLatin1Char('0')));
    lines << QStringLiteral("GSTRepresentativeFile=REP001") << QStringLiteral("ABN=12 345 678 901")
          << QStringLiteral("GSTRegistration=2") << QStringLiteral("GSTIgnoreRegistrationPeriodValidation=1")
          << QStringLiteral("GSTReportBasis=1") << QStringLiteral("GST_Option=3")
          << QStringLiteral("GST_G21=100.25") << QStringLiteral("GST_G22=200.5")
          << QStringLiteral("GST_G23=300.75") << QStringLiteral("GST_G23VaryToZero=1")
          << QStringLiteral("GST_VariationReason=Reason G") << QStringLiteral("GSTInstalmentQtr1=1.5")
          << QStringLiteral("GSTInstalmentQtr2=2.5") << QStringLiteral("GSTInstalmentQtr3=3.5")
          << QStringLiteral("GSTInstalmentQtr4=4.5") << QStringLiteral("GSTInstalmentStartQtr=2")
          << QStringLiteral("PAYGWithholdingType=1") << QStringLiteral("SalaryWagesAccounts=00-6000-00")
          << QStringLiteral("SalaryWagesWithheldAccounts=00-6010-00")
          << QStringLiteral("ABNWithholdingTaxAccounts=00-6020-00")
          << QStringLiteral("TFNWithholdingTaxAccounts=00-6030-00")
          << QStringLiteral("TaxFileNumber=123456782") << QStringLiteral("PAYGInstalmentType=1")
          << QStringLiteral("CashIncomeAccounts=00-0100-00 to 00-0199-99")
          << QStringLiteral("AccrualsIncomeAccounts=00-0200-00") << QStringLiteral("ATOInstalmentRate=4.2")
          << QStringLiteral("VariedInstalmentRate=3.1") << QStringLiteral("TaxInstalmentsCreditAdj=-12.34")
          << QStringLiteral("VariationReason=Reason P") << QStringLiteral("PAYG_Option=2")
          << QStringLiteral("PAYGI_UsePayQuarterlyGDP=1") << QStringLiteral("PAYGI_UseCommissionerGDP=1")
          << QStringLiteral("PAYGI_CommissionerGDP=1000.01") << QStringLiteral("PAYGI_UseVariedGDPAmount=1")
          << QStringLiteral("PAYGI_EstimatedBenchmark=2000.02")
          << QStringLiteral("PAYGI_VariedGDPAmount=3000.03") << QStringLiteral("WETLCTLiability=1")
          << QStringLiteral("WineEqualisationAccountsPayable=00-2700-00")
          << QStringLiteral("WineEqualisationAccountsRefundable=00-2710-00")
          << QStringLiteral("LuxuryCarAccountsPayable=00-2720-00")
          << QStringLiteral("LuxuryCarAccountsRefundable=00-2730-00")
          << QStringLiteral("FBTInstalmentPeriod=4") << QStringLiteral("FBTInstalment=55.5")
          << QStringLiteral("FBTVariation=66.6") << QStringLiteral("FBTVariedToZero=1")
          << QStringLiteral("FBTEstimatedPayable=77.7") << QStringLiteral("FBTVariationReason=Reason F")
          << QStringLiteral("FBTVariationCredit=88.8") << QStringLiteral("FBTPayFinalQtrInstalment=1")
          << QStringLiteral("DeferredInstalmentQ1=0.1") << QStringLiteral("DeferredInstalmentQ2=0.2")
          << QStringLiteral("DeferredInstalmentQ3=0.3") << QStringLiteral("DeferredInstalmentQ4=0.4")
          << QStringLiteral("BASExportFileCode=XYZ999") << QStringLiteral("BASExportFilePath=E:\\BAS")
          << QStringLiteral("BASExportFormat=5") << QStringLiteral("BASImportECIPath=C:\\ECI\\IMPORT");
    return lines;
}

} // namespace

class EntityDetailTest : public TEntityFixture {
protected:
    // A record of the year holding every key the record knows, each with a value other than its
    // default, laid out exactly as a save lays it out, with an unknown key, an unknown section
    // and a retained-profit section that a save must keep as they are.
    QByteArray FullRecord(int year, const QString& basSection, const QStringList& extraSections = {}) const {
        QStringList lines{QStringLiteral("[CONFIGURATION]"),
                          QStringLiteral("Code=ABC123"),
                          QStringLiteral("Type=COY"),
                          QStringLiteral("Name=Acme Pty Ltd"),
                          QStringLiteral("CustomKey=kept as is"),
                          QStringLiteral("ACN=123-456-789"),
                          QStringLiteral("RepHdg1=Acme Heading"),
                          QStringLiteral("RepHdg2=Second Heading"),
                          QStringLiteral("Created=732494.614583333"),
                          QStringLiteral("Accessed=732500.5"),
                          QStringLiteral("AccessPw=SECRET"),
                          QStringLiteral("Currency=NZD"),
                          QStringLiteral("AccDefault=COY.QUILVANE"),
                          QStringLiteral("AccFormatID=QUILVANE"),
                          QStringLiteral("Year=%1").arg(year),
                          QStringLiteral("Periods=4"),
                          QStringLiteral("EndMonth=3"),
                          QStringLiteral("Period=2"),
                          QStringLiteral("Quantity=1"),
                          QStringLiteral("Tax=0"),
                          QStringLiteral("DupRef=1"),
                          QStringLiteral("CurrencyConv=1"),
                          QStringLiteral("Contras=3"),
                          QStringLiteral("DataDir=") + DataDir,
                          QStringLiteral("XferDir=D:\\XFER"),
                          QStringLiteral("ExportDir=E:\\OUT"),
                          QStringLiteral("ImportDir=E:\\IN"),
                          QStringLiteral("BackupDir=C:\\QUILVANE\\BACKUPS"),
                          QStringLiteral("ECIFolder=C:\\ECI"),
                          QStringLiteral("Tessalyfolder=C:\\TessalySUP2006"),
                          QStringLiteral("TessalyLastUsedFile=book.xls"),
                          QStringLiteral("ECILastUsedFile=eci.dat"),
                          QStringLiteral("TransferExportEmailAddress=xfer@example.com"),
                          QStringLiteral("ClientsEmailAddress=client@example.com"),
                          QStringLiteral("PromptBkup=0"),
                          QStringLiteral("Locked=0"),
                          QStringLiteral("LockedBy="),
                          QString(),
                          QStringLiteral("[BACKUP_HISTORY]")};
        for (int y = 1996; y <= 2023; ++y)
            lines.append(QStringLiteral("%1=%2").arg(y).arg(y - 1990));
        lines << QStringLiteral("2026=7") << QString()
              << QStringLiteral("[RETAINED PROFIT DISTRIBUTION %1]").arg(year)
              << QStringLiteral("0=Member A,50") << QStringLiteral("1=Member B,50") << QString()
              << QStringLiteral("[Notes]") << QStringLiteral("; a comment")
              << QStringLiteral("Some Key = spaced value") << QString();
        lines << extraSections;
        lines << QStringLiteral("[IMPORT_FORMAT_HISTORY]")
              << QStringLiteral("2000-100=ifqif_nab,C:\\bank\\nab.qif")
              << QStringLiteral("2000-200=ifUnknown,x");
        lines << QStringLiteral("[%1]").arg(basSection) << BASLines();
        lines << QStringLiteral("[HISTORY]")
              << QStringLiteral("DataEntryPage0=1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17")
              << QStringLiteral("DataEntryPage1=2,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17");
        return Lines(lines);
    }
};

TEST_F(EntityDetailTest, FullRecordOf2006LoadsEveryFieldAndSavesTheSameBytes) {
    const QByteArray original = FullRecord(2006, QStringLiteral("BAS 2006"));
    WriteRecordBytes(original);
    auto detail = Open({Standard, NoLock, Load});
    ASSERT_TRUE(Prompt->Shown.isEmpty());

    EXPECT_EQ(detail->FileCode, "ABC123");
    EXPECT_EQ(detail->EntityType, "COY");
    EXPECT_DOUBLE_EQ(detail->Created, 732494.614583333);
    EXPECT_EQ(detail->Year, 2006);
    EXPECT_EQ(detail->Periods, 4);
    EXPECT_EQ(detail->EndMonth, 3);
    EXPECT_EQ(detail->Period, 2);
    EXPECT_TRUE(detail->Quantity);
    EXPECT_FALSE(detail->Tax);
    EXPECT_TRUE(detail->DupRef);
    EXPECT_TRUE(detail->CurrencyConv);
    EXPECT_EQ(detail->Contras, 3);
    EXPECT_EQ(detail->TessalyFolder, "C:\\TessalySUP2006");
    EXPECT_FALSE(detail->PromptBkup);
    EXPECT_EQ(detail->GetBASSectionName(), "BAS 2006");
    EXPECT_EQ(detail->GSTGroupFile[20], "GRP020");
    EXPECT_EQ(detail->ABN, "12 345 678 901");
    EXPECT_DOUBLE_EQ(detail->GSTInstalmentQtr[4], 4.5);
    EXPECT_DOUBLE_EQ(detail->TaxInstalmentsCreditAdj, -12.34);
    EXPECT_EQ(detail->PAYG_Option, 2);
    EXPECT_DOUBLE_EQ(detail->DeferredInstalmentQ[3], 0.3);
    EXPECT_EQ(detail->BASImportECIPath, "C:\\ECI\\IMPORT");
    EXPECT_EQ(detail->BackupCount(2023), 33);
    EXPECT_EQ(detail->BackupCount(2026), 7);
    EXPECT_EQ(detail->DataEntryPages.size(), 2);
    ASSERT_NE(detail->AccountFormat, nullptr);

    // Every value went into a field and came back out of it: the record is written unchanged.
    ASSERT_EQ(detail->Save({Standard}), 0);
    EXPECT_EQ(ReadRecordBytes(), original);
    EXPECT_FALSE(QFileInfo(RecordPath()).permissions() & QFileDevice::WriteOwner);
}

TEST_F(EntityDetailTest, YearsUpTo2001UseThePlainBASSectionAndLeaveOtherYearsAlone) {
    const QStringList year2002{QStringLiteral("[BAS 2002]"), QStringLiteral("GST_Option=9"), QString()};
    const QByteArray original = FullRecord(2001, QStringLiteral("BAS"), year2002);
    WriteRecordBytes(original);
    auto detail = Open({Standard, NoLock, Load});
    EXPECT_EQ(detail->GetBASSectionName(), "BAS");
    EXPECT_EQ(detail->GST_Option, 3);
    ASSERT_EQ(detail->Save({Standard}), 0);
    EXPECT_EQ(ReadRecordBytes(), original);

    detail->Year = 2002;
    EXPECT_EQ(detail->GetBASSectionName(), "BAS 2002");
}

TEST_F(EntityDetailTest, NewRecordTakesTheDefaultsAndWritesKeysInOrder) {
    auto detail = Open({Standard, NoLock});
    EXPECT_EQ(detail->FileName, DataDir + "\\ABC123.CFG");
    EXPECT_EQ(detail->EntityType, "NSP");
    EXPECT_EQ(detail->Name, "File Name");
    EXPECT_EQ(detail->ACN, "000-000-000");
    EXPECT_EQ(detail->Currency, "AUD");
    EXPECT_EQ(detail->AccFormatID, "QUILVANE");
    EXPECT_EQ(detail->AccDefault, "NSP.QUILVANE");
    EXPECT_EQ(detail->Year, 2024); // March 2024 lies in the year ending June 2024
    EXPECT_EQ(detail->Periods, 12);
    EXPECT_EQ(detail->EndMonth, 6);
    EXPECT_EQ(detail->Period, 1);
    EXPECT_FALSE(detail->Quantity);
    EXPECT_TRUE(detail->Tax);
    EXPECT_EQ(detail->Contras, 2);
    EXPECT_EQ(detail->XferDir, "C:\\QUILVANE\\TRANSFER");
    EXPECT_EQ(detail->BackupDir, "C:\\QUILVANE\\BACKUPS");
    EXPECT_EQ(detail->ExportDir, "C:\\QUILVANE\\EXPORT");
    EXPECT_EQ(detail->TessalyFolder, "C:\\TessalySUP2007");
    EXPECT_EQ(detail->GSTInstalmentStartQtr, 3);
    EXPECT_EQ(detail->PAYG_Option, 1);
    EXPECT_EQ(detail->BASExportFileCode, "ABC123");
    EXPECT_EQ(detail->BASExportFilePath, "C:\\QUILVANE\\EXPORT");

    ASSERT_EQ(detail->Save({Standard}), 0);
    const TIniFile saved(RecordPath());
    EXPECT_EQ(saved.ReadSection("CONFIGURATION"), QStringList({"Code",
                                                               "Type",
                                                               "Name",
                                                               "ACN",
                                                               "RepHdg1",
                                                               "RepHdg2",
                                                               "Created",
                                                               "Accessed",
                                                               "AccessPw",
                                                               "Currency",
                                                               "AccDefault",
                                                               "AccFormatID",
                                                               "Year",
                                                               "Periods",
                                                               "EndMonth",
                                                               "Period",
                                                               "Quantity",
                                                               "Tax",
                                                               "DupRef",
                                                               "CurrencyConv",
                                                               "Contras",
                                                               "DataDir",
                                                               "XferDir",
                                                               "ExportDir",
                                                               "ImportDir",
                                                               "BackupDir",
                                                               "ECIFolder",
                                                               "Tessalyfolder",
                                                               "TessalyLastUsedFile",
                                                               "ECILastUsedFile",
                                                               "TransferExportEmailAddress",
                                                               "ClientsEmailAddress",
                                                               "PromptBkup",
                                                               "Locked"}));
    EXPECT_EQ(saved.ReadString("CONFIGURATION", "Created", ""), "738960.614583333");
    EXPECT_EQ(saved.ReadSection("BACKUP_HISTORY").size(), 28);
    EXPECT_EQ(saved.ReadSection("BAS 2024").size(), 78);
    EXPECT_EQ(saved.ReadSections(), QStringList({"CONFIGURATION", "BACKUP_HISTORY", "BAS 2024"}));

    // A super fund keeps quantities and no taxes; a folder on a mapped drive gives that drive.
    Params->LicFilePath = TempPath("SHARE/DATA");
    ASSERT_TRUE(QDir().mkpath(Params->LicFilePath));
    Files->MapDrive('Q', TempPath("SHARE"));
    auto onShare = Open({Standard, NoLock}, "DEF456");
    EXPECT_EQ(onShare->XferDir, "Q:\\QUILVANE\\TRANSFER");
    EXPECT_EQ(onShare->BackupDir, "Q:\\QUILVANE\\BACKUPS");
}

TEST_F(EntityDetailTest, FileNameFollowsTheTransferMembers) {
    auto detail = Open({Standard, NoLock});
    detail->XferDir = "G:\\XFER";
    EXPECT_EQ(detail->GetFileName({Standard}), DataDir + "\\ABC123.CFG");
    EXPECT_EQ(detail->GetFileName({TransferFolder}), DataDir + "\\TRANSFER\\ABC123.CFG");
    EXPECT_EQ(detail->GetFileName({TransferDrive}), "G:\\RORI\\ABC123\\ABC123.CFG");
    // A record loaded without a transfer folder still has the transfer drive of a new file.
    detail->XferDir.clear();
    EXPECT_EQ(detail->GetFileName({TransferDrive}), "C:\\RORI\\ABC123\\ABC123.CFG");
}

TEST_F(EntityDetailTest, TheYearsChartsAreNamedFromTheRecord) {
    auto detail = Open({Standard, NoLock});
    detail->XferDir = "G:\\XFER";
    const TChartEntity entity = detail->ChartEntity();
    EXPECT_EQ(entity.EntityType, detail->EntityType);
    EXPECT_EQ(entity.AccDefault, detail->AccDefault);
    EXPECT_EQ(entity.Periods, detail->Periods);
    TStdDescChart chart(entity, {}, 2006);
    EXPECT_EQ(chart.GetFileName({}), DataDir + "\\M_DETAIL\\ABC12306.STD");
    EXPECT_EQ(chart.GetFileName({Option::TransferDrive}), "G:\\RORI\\ABC123\\M_DETAIL\\ABC12306.STD");
    // Without a transfer folder the charts use the transfer drive of a new file, as the record does.
    detail->XferDir.clear();
    EXPECT_EQ(TStdDescChart(detail->ChartEntity(), {}, 2006).GetFileName({Option::TransferDrive}),
              "C:\\RORI\\ABC123\\M_DETAIL\\ABC12306.STD");
}

TEST_F(EntityDetailTest, LoadMembersKeepWhatTheCallerHolds) {
    WriteRecordBytes(FullRecord(2006, QStringLiteral("BAS 2006")));
    auto detail = Open({Standard, NoLock, Load});

    const auto reloadWith = [&](const TOptionSet& options) {
        detail->Year = 2030;
        detail->Periods = 12;
        detail->Period = 1;
        detail->XferDir = "kept";
        detail->BASExportFilePath = "kept";
        detail->BASImportECIPath = "kept";
        detail->BackupHistory = {{2000, 99}};
        detail->DataEntryPages = QStringList{"kept"};
        detail->Locked = true;
        detail->LockedBy = "kept";
        detail->ABN = "kept";
        detail->SalaryWagesAccounts = "kept";
        return detail->Load(options);
    };

    ASSERT_EQ(reloadWith({KeepYear}), 0);
    EXPECT_EQ(detail->Year, 2030);
    // 2030 has no BAS section of its own: the year starts from the defaults.
    EXPECT_EQ(detail->ABN, "");
    EXPECT_EQ(detail->VariationReason, "<Not Applicable>");

    ASSERT_EQ(reloadWith({KeepPeriods}), 0);
    EXPECT_EQ(detail->Periods, 12);
    EXPECT_EQ(detail->Year, 2006);

    ASSERT_EQ(reloadWith({KeepFolders}), 0);
    EXPECT_EQ(detail->XferDir, "kept");
    EXPECT_EQ(detail->BASExportFilePath, "kept");
    EXPECT_EQ(detail->BASImportECIPath, "kept");
    EXPECT_EQ(detail->ABN, "12 345 678 901");

    ASSERT_EQ(reloadWith({KeepBackupHistory}), 0);
    EXPECT_EQ(detail->BackupCount(2000), 99);
    EXPECT_EQ(detail->BackupCount(2023), 1);
    EXPECT_EQ(detail->XferDir, "D:\\XFER");

    ASSERT_EQ(reloadWith({KeepPages}), 0);
    EXPECT_EQ(detail->DataEntryPages, QStringList{"kept"});

    ASSERT_EQ(reloadWith({KeepLockKeys}), 0);
    EXPECT_TRUE(detail->Locked);
    EXPECT_EQ(detail->LockedBy, "kept");

    ASSERT_EQ(reloadWith({SkipBAS}), 0);
    EXPECT_EQ(detail->ABN, "kept");
    EXPECT_EQ(detail->SalaryWagesAccounts, "kept");

    ASSERT_EQ(reloadWith({SummaryLoad}), 0);
    EXPECT_EQ(detail->Name, "Acme Pty Ltd");
    EXPECT_EQ(detail->Year, 2030);
    EXPECT_EQ(detail->XferDir, "kept");
    EXPECT_FALSE(detail->Locked);
    EXPECT_EQ(detail->LockedBy, "");
}

TEST_F(EntityDetailTest, SaveMembersKeepTheBASSectionAndWriteTheUserName) {
    WriteRecordBytes(FullRecord(2006, QStringLiteral("BAS 2006")));
    auto detail = Open({Standard, NoLock, Load});
    detail->ABN = "  99 999 999 999  ";
    ASSERT_EQ(detail->Save({KeepBASSection}), 0);
    EXPECT_EQ(TIniFile(RecordPath()).ReadString("BAS 2006", "ABN", ""), "12 345 678 901");

    ASSERT_EQ(detail->Save({Standard}), 0);
    EXPECT_EQ(TIniFile(RecordPath()).ReadString("BAS 2006", "ABN", ""), "99 999 999 999");
    EXPECT_EQ(TIniFile(RecordPath()).ReadString("CONFIGURATION", "LockedBy", "x"), "");

    ASSERT_EQ(detail->Save({WriteLockedBy}), 0);
    EXPECT_EQ(TIniFile(RecordPath()).ReadString("CONFIGURATION", "LockedBy", ""), "WORKSTATION1");
}

TEST_F(EntityDetailTest, HistoryKeepsTheFirst25PagesInFileOrder) {
    QStringList lines = QString::fromLatin1(SmallRecord("0", "")).split("\r\n", Qt::SkipEmptyParts);
    lines << "[HISTORY]";
    for (int i = 0; i < 30; ++i)
        lines << QStringLiteral("DataEntryPage%1=page %1").arg(i);
    WriteRecordBytes(Lines(lines));
    auto detail = Open({Standard, NoLock, Load});
    ASSERT_EQ(detail->DataEntryPages.size(), 25);
    EXPECT_EQ(detail->DataEntryPages[9], "page 9");
    EXPECT_EQ(detail->DataEntryPages[10], "page 10");
    EXPECT_EQ(detail->DataEntryPages[24], "page 24");

    ASSERT_EQ(detail->Save({Standard}), 0);
    const TIniFile saved(RecordPath());
    EXPECT_EQ(saved.ReadSection("HISTORY").size(), 25);
    EXPECT_EQ(saved.ReadString("HISTORY", "DataEntryPage24", ""), "page 24");
    EXPECT_FALSE(saved.ValueExists("HISTORY", "DataEntryPage25"));
}

TEST_F(EntityDetailTest, BackupCountersAreKeptForAnyYear) {
    WriteRecordBytes(SmallRecord("0", "") +
                     Lines({"[BACKUP_HISTORY]", "2000=5", "2026=12", "1990=3", "later=8", "02027=4"}));
    auto detail = Open({Standard, NoLock, Load});
    EXPECT_EQ(detail->BackupCount(2000), 5);
    EXPECT_EQ(detail->BackupCount(2001), 1); // missing
    EXPECT_EQ(detail->BackupCount(2026), 12);
    EXPECT_EQ(detail->BackupCount(1990), 3);
    EXPECT_EQ(detail->BackupCount(2027), 1); // not a plain year key
    detail->SetBackupCount(2031, 2);

    ASSERT_EQ(detail->Save({Standard}), 0);
    const TIniFile saved(RecordPath());
    for (int year = 1996; year <= 2023; ++year)
        EXPECT_TRUE(saved.ValueExists("BACKUP_HISTORY", QString::number(year))) << year;
    EXPECT_EQ(saved.ReadString("BACKUP_HISTORY", "2026", ""), "12");
    EXPECT_EQ(saved.ReadString("BACKUP_HISTORY", "2031", ""), "2");
    EXPECT_EQ(saved.ReadString("BACKUP_HISTORY", "2001", ""), "1");

    auto again = Open({Standard, NoLock, Load});
    EXPECT_EQ(again->BackupCount(2031), 2);
    EXPECT_EQ(again->BackupCount(2026), 12);
}

TEST_F(EntityDetailTest, ImportFormatHistoryNamesItsFormatWithoutRegardToCase) {
    WriteRecordBytes(SmallRecord("0", "") + Lines({"[IMPORT_FORMAT_HISTORY]", "acct1=ifqif_nab,C:\\nab.qif,3",
                                                   "acct2=ifCSV_WBC", "acct3=ifOther,1", "acct4=ifQIF_ANZ"}));
    auto detail = Open({Standard, NoLock, Load});
    ASSERT_EQ(detail->ImportFormatHistory.size(), 4);
    EXPECT_EQ(detail->ImportFormatHistory[0], (TImportFormatEntry{"acct1=ifqif_nab,C:\\nab.qif,3", 6}));
    EXPECT_EQ(detail->ImportFormatHistory[1].Format, 11);
    EXPECT_EQ(detail->ImportFormatHistory[2].Format, 0);
    EXPECT_EQ(detail->ImportFormatHistory[3].Format, 0);

    detail->ImportFormatHistory.removeAt(1);
    detail->ImportFormatHistory.append({"acct5=ifNAI_NAB,x", 7});
    ASSERT_EQ(detail->Save({Standard}), 0);
    EXPECT_EQ(TIniFile(RecordPath()).ReadSectionValues("IMPORT_FORMAT_HISTORY"),
              QStringList({"acct1=ifqif_nab,C:\\nab.qif,3", "acct3=ifOther,1", "acct4=ifQIF_ANZ",
                           "acct5=ifNAI_NAB,x"}));
}

TEST_F(EntityDetailTest, ANewYearTakesItsAccountRangesFromTheMasterFile) {
    ASSERT_TRUE(QDir(DataDir).mkpath("M_DETAIL"));
    const auto writeMaster = [&](const QString& name, const QString& prefix) {
        QFile file(DataDir + "/M_DETAIL/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        QStringList lines{"[BAS]"};
        const QStringList keys{"SalaryWagesAccounts",
                               "SalaryWagesWithheldAccounts",
                               "ABNWithholdingTaxAccounts",
                               "TFNWithholdingTaxAccounts",
                               "CashIncomeAccounts",
                               "AccrualsIncomeAccounts",
                               "WineEqualisationAccountsPayable",
                               "WineEqualisationAccountsRefundable",
                               "LuxuryCarAccountsPayable",
                               "LuxuryCarAccountsRefundable"};
        for (int i = 0; i < keys.size(); ++i)
            lines << QStringLiteral("%1=%2%3").arg(keys[i], prefix).arg(i);
        lines << "GST_G21=55"
              << "ABN=from master";
        file.write(Lines(lines));
    };
    writeMaster("QUILVANE.BAS", "R");
    writeMaster("QUILVANE_SUP.BAS", "S");

    WriteRecordBytes(SmallRecord("0", ""));
    auto detail = Open({Standard, NoLock, Load});
    EXPECT_EQ(detail->SalaryWagesAccounts, "R0");
    EXPECT_EQ(detail->CashIncomeAccounts, "R4");
    EXPECT_EQ(detail->LuxuryCarAccountsRefundable, "R9");
    EXPECT_EQ(detail->VariationReason, "<Not Applicable>");
    EXPECT_EQ(detail->FBTVariationReason, "<Not Applicable>");
    EXPECT_EQ(detail->BASExportFileCode, "ABC123");
    EXPECT_EQ(detail->BASExportFilePath, detail->ExportDir);
    EXPECT_EQ(detail->ExportDir, DataDir + "\\EXPORT");
    EXPECT_DOUBLE_EQ(detail->GST_G21, 0);
    EXPECT_EQ(detail->ABN, "");

    WriteRecordBytes(QString::fromLatin1(SmallRecord("0", "")).replace("Type=COY", "Type=SUP").toLatin1());
    auto super = Open({Standard, NoLock, Load});
    EXPECT_EQ(super->SalaryWagesAccounts, "S0");
}

TEST_F(EntityDetailTest, LoadFailuresAreShownAndReturnFailure) {
    // No code: the box offers Retry, which reads the file again.
    WriteRecordBytes(Lines({"[CONFIGURATION]", "Code=", "Type=COY"}));
    Prompt->Answer(TMessageButton::Cancel);
    EXPECT_THROW(Open({Standard, NoLock, Load}), EAbort);
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(Prompt->Shown[0].Text, "Unable to load file details. Filename : " + DataDir + "\\ABC123.CFG");
    EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButton::Cancel | TMessageButton::Retry);
    EXPECT_EQ(Prompt->Beeps.last(), TBeep::Error);

    // The record is repaired while the box is up; Retry then loads it.
    auto detail = Open({Standard, NoLock});
    Hooked().OnShow = [&] { WriteRecordBytes(SmallRecord("0", "")); };
    Prompt->Answer(TMessageButton::Retry);
    EXPECT_EQ(detail->Load({Standard}), 0);
    EXPECT_EQ(detail->Name, "Acme");
    EXPECT_EQ(Prompt->Shown.size(), 2);
    Hooked().OnShow = nullptr;

    // A stamp that is no number: the conversion's message, fields read so far kept.
    WriteRecordBytes(QString::fromLatin1(SmallRecord("0", ""))
                         .replace("Created=732494.5", "ACN=111\r\nCreated=abc")
                         .toLatin1());
    Prompt->Answer(TMessageButton::OK);
    EXPECT_EQ(detail->Load({Standard}), -1);
    EXPECT_EQ(Prompt->Shown.last().Text,
              "QUILVANE is unable to open file \"ABC123\". Error: 'abc' is not a valid floating point value");
    EXPECT_EQ(Prompt->Shown.last().Buttons, TMessageButtons(TMessageButton::OK));
    EXPECT_EQ(detail->ACN, "111");

    // An entity type the practice does not have: quiet with member 5.
    WriteRecordBytes(QString::fromLatin1(SmallRecord("0", "")).replace("Type=COY", "Type=XYZ").toLatin1());
    const qsizetype shown = Prompt->Shown.size();
    EXPECT_EQ(detail->Load({Standard, QuietEntityType}), -1);
    EXPECT_EQ(Prompt->Shown.size(), shown);
    Prompt->Answer(TMessageButton::OK);
    EXPECT_EQ(detail->Load({Standard}), -1);
    EXPECT_EQ(Prompt->Shown.last().Text,
              "QUILVANE is unable to open file \"ABC123\". Error: Entity type XYZ is not permitted.");
}

TEST_F(EntityDetailTest, AnImpossibleYearSetUpFailsTheLoad) {
    const QStringList bad{"Year=0",   "Periods=0", "Periods=5", "EndMonth=13",
                          "Period=0", "Period=13", "Year=70000"};
    for (const QString& line : bad) {
        const QString key = line.section('=', 0, 0);
        QString text = QString::fromLatin1(SmallRecord("0", ""));
        const qsizetype at = text.indexOf(key + "=");
        text.replace(at, text.indexOf("\r\n", at) - at, line);
        WriteRecordBytes(text.toLatin1());
        Prompt->Answer(TMessageButton::OK);
        EXPECT_THROW(Open({Standard, NoLock, Load}), EAbort) << line.toStdString();
        EXPECT_TRUE(
            Prompt->Shown.last().Text.startsWith("QUILVANE is unable to open file \"ABC123\". Error: "))
            << line.toStdString();
    }
    // A missing key is as bad as a zero; a summary load does not look.
    WriteRecordBytes(QString::fromLatin1(SmallRecord("0", "")).remove("Periods=12\r\n").toLatin1());
    Prompt->Answer(TMessageButton::OK);
    EXPECT_THROW(Open({Standard, NoLock, Load}), EAbort);
    EXPECT_NO_THROW(Open({NoLock, SummaryLoad, Load}));
}

TEST_F(EntityDetailTest, AStoredCodeThatLeadsOutOfTheFolderFailsTheLoad) {
    for (const QString code : {"..\\..\\EVIL", "A/B", "C:X", "..", "AB*"}) {
        WriteRecordBytes(
            QString::fromLatin1(SmallRecord("0", "")).replace("Code=ABC123", "Code=" + code).toLatin1());
        Prompt->Answer(TMessageButton::OK);
        EXPECT_THROW(Open({Standard, NoLock, Load}), EAbort) << code.toStdString();
        EXPECT_EQ(Prompt->Shown.last().Text,
                  "QUILVANE is unable to open file \"ABC123\". Error: The file code " + code +
                      " is not valid.");
    }
}

TEST_F(EntityDetailTest, UnregisteredAccountFormatIsRefusedAndTheLockGivenBack) {
    WriteRecordBytes(QString::fromLatin1(SmallRecord("0", ""))
                         .replace("AccFormatID=QUILVANE", "AccFormatID=NOSUCH")
                         .toLatin1());
    Prompt->Answer(TMessageButton::OK);
    EXPECT_THROW(Open({Standard, Load}), EAbort);
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(Prompt->Shown[0].Text, "Unregistered account format for this file - Access denied.");
    EXPECT_EQ(Prompt->Shown[0].Kind, TMessageKind::Information);
    EXPECT_EQ(Prompt->Shown[0].HelpContext, 0);
    const TIniFile disk(RecordPath());
    EXPECT_EQ(disk.ReadString("CONFIGURATION", "Locked", ""), "0");
    EXPECT_EQ(disk.ReadString("CONFIGURATION", "LockedBy", "x"), "");

    // Missing record with member 7: nothing is shown, nothing is created.
    EXPECT_THROW(Open({Standard, Load}, "NONE01"), EAbort);
    EXPECT_FALSE(QFile::exists(RecordPath("NONE01")));
}

TEST_F(EntityDetailTest, TheRecordIsWritableOnlyWhileItIsWritten) {
    WriteRecordBytes(SmallRecord("0", ""));
    auto detail = Open({Standard, NoLock, Load});
    detail->Name = "Renamed";
    bool writtenBeforeProtect = false;
    Files->OnProtect = [&](const QString& path) {
        writtenBeforeProtect = TIniFile(path).ReadString("CONFIGURATION", "Name", "") == "Renamed";
    };
    ASSERT_EQ(detail->Save({Standard}), 0);
    EXPECT_EQ(Files->Entries(), QStringList({"unprotect:ABC123.CFG", "protect:ABC123.CFG"}));
    EXPECT_TRUE(writtenBeforeProtect);
    Files->OnProtect = nullptr;

    // A record that cannot be made writable is not written; Retry tries again, Ignore gives up.
    const QByteArray before = ReadRecordBytes();
    detail->Name = "Again";
    Files->RefuseUnprotect = true;
    Prompt->Answer(TMessageButton::Retry);
    Prompt->Answer(TMessageButton::Ignore);
    EXPECT_EQ(detail->Save({Standard}), -1);
    ASSERT_EQ(Prompt->Shown.size(), 2);
    EXPECT_TRUE(Prompt->Shown[0].Text.startsWith("Unable to save file details to disk.\rUnable to write "));
    EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButton::Retry | TMessageButton::Ignore);
    EXPECT_EQ(Prompt->Shown[0].Kind, TMessageKind::Error);
    EXPECT_EQ(ReadRecordBytes(), before);
    EXPECT_FALSE(Files->Entries().endsWith("protect:ABC123.CFG"));

    // Retry succeeds once the share lets the file be written again.
    Hooked().OnShow = [&] { Files->RefuseUnprotect = false; };
    Prompt->Answer(TMessageButton::Retry);
    EXPECT_EQ(detail->Save({Standard}), 0);
    EXPECT_EQ(Prompt->Shown.size(), 3);
    EXPECT_EQ(TIniFile(RecordPath()).ReadString("CONFIGURATION", "Name", ""), "Again");
}

TEST_F(EntityDetailTest, SavingIntoAFolderThatCannotBeMadeOffersRetryAndIgnore) {
    // The transfer "folder" is a plain file, so nothing can be written under it.
    QFile blocker(DataDir + "/TRANSFER");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    auto detail = Open({Standard, NoLock});
    Prompt->Answer(TMessageButton::Retry);
    Prompt->Answer(TMessageButton::Ignore);
    EXPECT_EQ(detail->Save({TransferFolder}), -1);
    ASSERT_EQ(Prompt->Shown.size(), 2);
    EXPECT_TRUE(Prompt->Shown[1].Text.startsWith("Unable to save file details to disk.\r"));
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>({TBeep::Error, TBeep::Error}));
}

TEST_F(EntityDetailTest, TypedLineBreaksNeverStartAKey) {
    WriteRecordBytes(SmallRecord("1", "OTHER"));
    auto detail = Open({Standard, NoLock, Load});
    detail->Name = "x\r\nLocked=0";
    detail->ClientsEmailAddress = "a@b\n[HISTORY]";
    ASSERT_EQ(detail->Save({Standard}), 0);
    const TIniFile saved(RecordPath());
    EXPECT_EQ(saved.ReadString("CONFIGURATION", "Name", ""), "x  Locked=0");
    EXPECT_EQ(saved.ReadString("CONFIGURATION", "Locked", ""), "1");
    EXPECT_FALSE(saved.SectionHasKeys("HISTORY"));
    EXPECT_EQ(ReadRecordBytes().count("\r\n"), ReadRecordBytes().count("\n"));
}

TEST_F(EntityDetailTest, ProfitDistributionAndSmallRules) {
    WriteRecordBytes(FullRecord(2006, QStringLiteral("BAS 2006")));
    auto detail = Open({Standard, NoLock, Load});
    detail->LoadProfitDistribution(2006);
    EXPECT_EQ(detail->ProfitDistribution, QStringList({"Member A,50", "Member B,50"}));
    detail->ProfitDistribution = QStringList{"Member C,100"};
    detail->SaveProfitDistribution(2007);
    ASSERT_EQ(detail->Save({Standard}), 0);
    const TIniFile saved(RecordPath());
    EXPECT_EQ(saved.ReadSectionValues("RETAINED PROFIT DISTRIBUTION 2007"), QStringList{"0=Member C,100"});
    EXPECT_EQ(saved.ReadSection("RETAINED PROFIT DISTRIBUTION 2006").size(), 2);

    detail->SetEMailAddress(true, "t@x");
    detail->SetEMailAddress(false, "c@x");
    EXPECT_EQ(detail->GetEMailAddress(true), "t@x");
    EXPECT_EQ(detail->GetEMailAddress(false), "c@x");

    detail->PAYGI_UsePayQuarterlyGDP = true;
    detail->EntityType = "sol";
    EXPECT_TRUE(detail->QuarterlyPAYGInstalments(2, 0));
    EXPECT_FALSE(detail->QuarterlyPAYGInstalments(1, 0));
    EXPECT_FALSE(detail->QuarterlyPAYGInstalments(2, 1));
    detail->EntityType = "CO";
    EXPECT_FALSE(detail->QuarterlyPAYGInstalments(2, 0));
    detail->PAYGI_UsePayQuarterlyGDP = false;
    EXPECT_TRUE(detail->QuarterlyPAYGInstalments(1, 0));
    EXPECT_FALSE(detail->QuarterlyPAYGInstalments(2, 1));

    // Byte fields hold their range instead of wrapping.
    WriteRecordBytes(
        QString::fromLatin1(SmallRecord("0", "")).replace("Period=1", "Period=1\r\nContras=300").toLatin1());
    auto clamped = Open({Standard, NoLock, Load});
    EXPECT_EQ(clamped->Contras, 255);
}
