#pragma once

// The shared set-up of the chart tests: the reference tables of tests/data/charts/reference.dat
// installed (formats "QUILVANE" BB-AAAA-SS keyed account first, "BRANCHKEY" keyed branch first,
// "CEE DATA" with four parts), client "ABC123" of format "QUILVANE" whose data folder is the
// test's temporary folder, a prompter that can act while a box is up, and the hand-written
// stored bytes of tests/data/charts/*.hex.

#include "core/accounts/AccountFormat.h"
#include "core/charts/ChartEntity.h"
#include "core/io/ValueReader.h"
#include "core/io/ValueWriter.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ServicesFixture.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <functional>

// A block of a hex file: "[name]" starts a block (hex may follow on the same line), blanks are
// ignored and "#" comments to the end of the line.
inline QByteArray Stored(const QString& file, const QString& block) {
    const QByteArray text = ReadFileBytes(QStringLiteral(QUILVANE_TEST_DATA_DIR "/charts/") + file + ".hex");
    QByteArray hex;
    bool inBlock = false;
    bool found = false;
    for (QByteArray line : text.split('\n')) {
        line = line.left(line.indexOf('#') < 0 ? line.size() : line.indexOf('#')).trimmed();
        if (line.startsWith('[')) {
            inBlock = line.mid(1, line.indexOf(']') - 1) == block.toLatin1();
            found = found || inBlock;
            line = line.mid(line.indexOf(']') + 1);
        }
        if (inBlock)
            hex += line;
    }
    EXPECT_TRUE(found) << file.toStdString() << " has no block " << block.toStdString();
    return QByteArray::fromHex(hex.replace(' ', ""));
}

// A chart file: the header block, then the item blocks inside a list.
inline QByteArray StoredChart(const QString& file, const QString& header, const QStringList& items) {
    QByteArray bytes = Stored(file, header) + QByteArray(1, '\x01');
    for (const QString& item : items)
        bytes += Stored(file, item);
    return bytes + QByteArray(1, '\0');
}

// A chart item read from, or written to, a value stream in memory.
template <class TItem, class... TArgs> void ReadItem(TItem& item, const QByteArray& bytes, TArgs... args) {
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    TValueReader reader(device);
    item.ReadFromStream(reader, args...);
    EXPECT_TRUE(reader.AtEnd());
}
template <class TItem> QByteArray WrittenItem(const TItem& item) {
    QBuffer device;
    device.open(QIODevice::WriteOnly);
    TValueWriter writer(device);
    item.WriteToStream(writer);
    writer.Finish();
    return device.data();
}

// Can change the disk while a box is up, the way a user fixes a problem before pressing Retry.
class TActingPrompt : public TScriptedPrompt {
public:
    std::function<void()> WhileShown;
    TMessageButton ShowMessage(TMessageKind kind, const QString& text, TMessageButtons buttons,
                               int helpContext) override {
        if (auto act = std::exchange(WhileShown, nullptr))
            act();
        return TScriptedPrompt::ShowMessage(kind, text, buttons, helpContext);
    }
};

class TChartTest : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        Acting = std::make_shared<TActingPrompt>();
        Prompt = Acting;
        TServices::SetPrompt(Prompt);
        Params = std::make_shared<TProgramParams>();
        Params->LoadFromBytes(ReadFileBytes(QStringLiteral(QUILVANE_TEST_DATA_DIR "/charts/reference.dat")),
                              QStringLiteral("Quilvane.DAT"));
        SetProgramParams(Params);
        Entity.FileCode = QStringLiteral("ABC123");
        Entity.EntityType = QStringLiteral("NSP");
        Entity.DataDir = Temp.path();
        Entity.ProgramDataDir = TempPath(QStringLiteral("PROGRAM"));
        Entity.XferDir = QStringLiteral("X:\\QUILVANE\\TRANSFER");
        Entity.AccFormatID = QStringLiteral("QUILVANE");
    }

    const TAccountFormat* Format(const QString& id = QStringLiteral("QUILVANE")) const {
        return Params->FindAccountFormat(id);
    }
    TAccountCode Code(const QString& text) const {
        TAccountCode code;
        EXPECT_TRUE(Format()->TextToCode(text, code, false, false)) << text.toStdString();
        return code;
    }
    // A file inside the data folder ("M_DETAIL/ABC12306.STD"), written with its folder.
    void Write(const QString& name, const QByteArray& bytes) const {
        QDir().mkpath(QFileInfo(TempPath(name)).absolutePath());
        ASSERT_TRUE(WriteFileBytes(TempPath(name), bytes));
    }
    QByteArray Read(const QString& name) const { return ReadFileBytes(TempPath(name)); }

    std::shared_ptr<TActingPrompt> Acting;
    std::shared_ptr<TProgramParams> Params;
    TChartEntity Entity;
};
