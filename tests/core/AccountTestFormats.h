#pragma once

#include "core/accounts/AccountFormat.h"
#include "core/io/ValueReader.h"
#include "core/io/ValueWriter.h"
#include "tests/support/ServicesFixture.h"

#include <QBuffer>
#include <functional>
#include <memory>

// A code from its parts (-1 absent), put straight into the stored fields.
inline TAccountCode MakeCode(int branch, int division, int account, int subAccount) {
    return TAccountCode{static_cast<qint16>(branch), static_cast<qint16>(division),
                        static_cast<qint16>(account), static_cast<qint16>(subAccount)};
}
inline TAccountCode Acc(int account) {
    return MakeCode(-1, -1, account, -1);
}

inline std::unique_ptr<TAccountFormat> MakeFormat(const QString& mask, const QString& keyOrder = {}) {
    return std::make_unique<TAccountFormat>("BASE", mask, keyOrder, "");
}
// The format with an "ALL" range from one code to another.
inline std::unique_ptr<TAccountFormat> WithAll(std::unique_ptr<TAccountFormat> format, TAccountCode from,
                                               TAccountCode to) {
    auto all = std::make_unique<TAccountGroup>("ALL", from, format.get());
    all->SetToCode(to);
    format->Ranges.AddGroup("ALL", std::move(all));
    return format;
}
// A four-digit account: accounts 1 to 9999 when withAll.
inline std::unique_ptr<TAccountFormat> AccountOnlyFormat(bool withAll = true) {
    return withAll ? WithAll(MakeFormat("AAAA"), Acc(1), Acc(9999)) : MakeFormat("AAAA");
}

// Bytes written to a value stream in memory, and a value stream read from bytes.
inline QByteArray Written(const std::function<void(TValueWriter&)>& write) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    TValueWriter writer(buffer);
    write(writer);
    writer.Finish();
    return buffer.data();
}
inline void ReadFrom(const QByteArray& bytes, const std::function<void(TValueReader&)>& read) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    TValueReader reader(buffer);
    read(reader);
}
// An item (a chart item, a group) read whole from its stored bytes, or written to bytes.
template <class TItem, class... TArgs> void ReadItem(TItem& item, const QByteArray& bytes, TArgs... args) {
    ReadFrom(bytes, [&](TValueReader& reader) {
        item.ReadFromStream(reader, args...);
        EXPECT_TRUE(reader.AtEnd());
    });
}
template <class TItem> QByteArray WrittenItem(const TItem& item) {
    return Written([&](TValueWriter& writer) { item.WriteToStream(writer); });
}

// The shared fixture of the account tests: the scripted prompter and formats.
class TAccountsFixture : public TServicesFixture {
protected:
    // Branches 1 to 20, accounts 1 to 9999, sub-accounts 0 to 99.
    std::unique_ptr<TAccountFormat> Format =
        WithAll(MakeFormat("BB-AAAA-SS"), MakeCode(1, -1, 1, 0), MakeCode(20, -1, 9999, 99));
    std::unique_ptr<TAccountFormat> Plain = AccountOnlyFormat();
    std::unique_ptr<TAccountFormat> Bare = AccountOnlyFormat(false);
    QString Expected;
    const char* const AccountsRange = "Accounts must be in the range 1 to 9999";

    // Scripts the box a step is to show ("" none), and checks afterwards that only it was shown.
    void ExpectBox(const char* text) {
        Expected = QString::fromLatin1(text);
        if (!Expected.isEmpty())
            Prompt->Answer(TMessageButton::OK);
    }
    void CheckBox() {
        EXPECT_EQ(Prompt->Texts(), Expected.isEmpty() ? QStringList() : QStringList{Expected});
        Prompt->Shown.clear();
    }
};
