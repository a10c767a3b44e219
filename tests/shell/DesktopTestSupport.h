#pragma once

#include "tests/core/ChartTestSupport.h"
#include "tests/core/EntityTestSupport.h"

#include "core/entity/EntityInfo.h"
#include "core/transactions/DataEntryPage.h"
#include "core/transactions/TransactionList.h"
#include "shell/desktop/Desktop.h"

// Client records on disk in the test's data folder, opened for real (with their locks). The
// fixture is the desktop's opener and window: a file in YearFails fails to load its year, one with
// a chart loads it, the password typed is Typed (nothing: Cancel); each window step is logged.
class DesktopTest : public TEntityFixture, public IDesktopOpener, public IDesktopView {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        TEntityInfo::SetSessionLog([this](const TLogSession&) { ++Sessions; });
    }
    void TearDown() override {
        TEntityInfo::SetSessionLog({});
        TEntityFixture::TearDown();
    }

    std::unique_ptr<TEntityInfo> Create(const QString& fileCode, const TOptionSet& options) override {
        Options.append(options);
        return TEntityInfo::Create(fileCode, options);
    }
    void OpenYear(TEntityInfo& file) override {
        if (YearFails.contains(file.EntityDetail().FileCode))
            throw EQuilvaneError(QStringLiteral("Charts damaged"));
        if (QFile::exists(DataDir + "/M_DETAIL/" + file.EntityDetail().FileCode + "06.ADF"))
            file.OpenYear();
    }
    std::optional<QString> AskPassword(const TEntityDetail&) override { return ++Asked, Typed; }
    void FileMenusEnabled(bool enabled) override { Log << (enabled ? "menus-on" : "menus-off"); }
    bool DataEntryWindowOpen() const override { return EntryWindowOpen; }
    int CloseAllPages(int index) override {
        Log << "close-pages:" + QString::number(index);
        if (PagesResult == 0)
            Desktop.Files().File(index)->DeleteDataEntryPage(0);
        return PagesResult;
    }
    void DetachEntity(TEntityInfo& file) override { Log << "detach:" + file.EntityDetail().FileCode; }
    void CloseChildWindowsExceptReports() override { Log << "close-children"; }
    void OpenChildWindow(int kind) override { Log << "child:" + QString::number(kind); }

    void WriteRecord(const QString& code, const QString& password = {}, const QString& lockedBy = {}) {
        QByteArray bytes = SmallRecord(lockedBy.isEmpty() ? "0" : "1", lockedBy, "Code=" + code);
        bytes.replace("Type=",
                      (password.isEmpty() ? "" : "AccessPw=" + password.toLatin1() + "\r\n") + "Type=");
        QFile::setPermissions(RecordPath(code), QFile::ReadOwner | QFile::WriteOwner);
        ASSERT_TRUE(WriteFileBytes(RecordPath(code), bytes));
    }
    QString LockOf(const QString& code) const {
        return TIniFile(RecordPath(code)).ReadString("CONFIGURATION", "Locked", "?");
    }
    void WriteChart(const QString& code) {
        ASSERT_TRUE(QDir().mkpath(DataDir + "/M_DETAIL"));
        ASSERT_TRUE(
            WriteFileBytes(DataDir + "/M_DETAIL/" + code + "06.ADF", StoredChart("accounts", "header", {})));
    }
    // Opens the files with their charts as the Open dialog does, the first chosen active; the log
    // starts afresh.
    void OpenFiles(const QStringList& codes = {"ABC123"}) {
        for (const QString& code : codes)
            WriteRecord(code), WriteChart(code);
        Desktop.OpenFiles(codes.join(",") + ",", QString("1,").repeated(codes.size()));
        Log.clear();
    }
    // A page of the file's 2006 year for a kind and period with entries of IDs 1, 2, ...; its index.
    static int AddPage(TEntityInfo& file, int kind, int period, int entries = 0) {
        auto page =
            TDataEntryPage::Create(file.ListSources(2006), kind, 2006, period, 12, {Standard, Load}, false);
        TTransactionList& list = page->List();
        for (qint32 id = 1; id <= entries; ++id) {
            auto entry = std::make_unique<TTransactionDetail>(0, static_cast<qint16>(kind));
            entry->ID = id;
            list.InsertTransaction(list.Count() - 1, std::move(entry), 0);
        }
        return file.InsertDataEntryPage(-1, list.GetPeriodTitle(false), std::move(page));
    }
    // "kind/period " of each page of the file.
    static QString Pages(const TEntityInfo& file) {
        QString pages;
        for (int i = 0; i < file.DataEntryPageCount(); ++i)
            pages += QString::asprintf("%d/%d ", file.DataEntryPage(i)->List().PageKind(),
                                       file.DataEntryPage(i)->List().Period());
        return pages;
    }
    QStringList OpenCodes() const {
        QStringList codes;
        for (int i = 0; i < Desktop.Files().Count(); ++i)
            codes << Desktop.Files().Code(i);
        return codes;
    }

    QStringList YearFails;
    std::optional<QString> Typed;
    int Asked = 0;
    QList<TOptionSet> Options;
    QStringList Log;
    bool EntryWindowOpen = false;
    int PagesResult = 0;
    int Sessions = 0;
    TDesktop Desktop{*this, *this};
};
