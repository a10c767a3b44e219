#include "shell/backup/SendFileByEmail.h"
#include "core/entity/EntityDetail.h"
#include "platform/mail/MailSender.h"
#include "tests/core/EntityTestSupport.h"

#include <optional>

namespace {

// Answers the text question from a script (nullopt: Cancel) and records it.
class TAddressPrompt : public TScriptedPrompt {
public:
    bool InputText(const QString&, const QString&, QString& value) override {
        ++Questions;
        if (!Typed)
            return false;
        value = *Typed;
        return true;
    }
    std::optional<QString> Typed;
    int Questions = 0;
};

// Records the addresses handed to it.
class TRecordingSender : public IMailSender {
public:
    bool Send(const QString& to, const QString&, const QString&, const QString&) override {
        To.append(to);
        return true;
    }
    QStringList To;
};

class SendFileByEmailTest : public TEntityFixture {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        TServices::SetPrompt(Input);
    }
    void TearDown() override {
        EXPECT_TRUE(Input->ScriptDone()) << "Scripted answers left unused";
        TEntityFixture::TearDown();
    }
    QString Archive() const { return TempPath("ABC12306.QTF"); }

    std::shared_ptr<TAddressPrompt> Input = std::make_shared<TAddressPrompt>();
    TRecordingSender Sender;
};

// Addresses that would reach the mail program's link as more than one plain recipient.
const char* const NotPlain[] = {
    "mailto:boss@example.com",
    "x:jo@example.com",
    "jo@example.com?attach=/home/jo/.ssh/id_rsa",
    "jo@example.com&cc=boss@example.com",
    "jo@example.com,boss@example.com",
    "jo@example.com;boss@example.com",
    "Jo Bloggs <jo@example.com>",
    "\"jo\"@example.com",
    "jo @example.com",
    "jo@example.com\nBcc: boss@example.com",
};

TEST_F(SendFileByEmailTest, AnAddressOnRecordThatIsNotPlainIsNamedAndNotUsed) {
    for (const char* address : NotPlain) {
        auto detail = Open({Standard, NoLock});
        detail->ClientsEmailAddress = QString::fromUtf8(address);
        Input->Answer(TMessageButton::OK);
        EXPECT_FALSE(SendFileByEmail(*detail, false, "S", "B", Archive(), Sender)) << address;
        ASSERT_FALSE(Input->Shown.isEmpty());
        EXPECT_EQ(Input->Shown.last().Text, "The e-mail address " + QString::fromUtf8(address).trimmed() +
                                                " is not a plain address and was not used.");
        EXPECT_EQ(Input->Shown.last().Kind, TMessageKind::Information);
        EXPECT_EQ(Input->Beeps.last(), TBeep::Information);
    }
    EXPECT_TRUE(Sender.To.isEmpty());
    EXPECT_EQ(Input->Questions, 0);
}

TEST_F(SendFileByEmailTest, ATypedAddressThatIsNotPlainIsNeitherUsedNorKept) {
    for (const char* address : NotPlain) {
        auto detail = Open({Standard, NoLock});
        Input->Typed = QString::fromUtf8(address);
        Input->Answer(TMessageButton::OK);
        EXPECT_FALSE(SendFileByEmail(*detail, true, "S", "B", Archive(), Sender)) << address;
        EXPECT_EQ(detail->TransferExportEmailAddress, "") << address;
        EXPECT_TRUE(Input->Shown.last().Text.endsWith(" is not a plain address and was not used."));
    }
    EXPECT_TRUE(Sender.To.isEmpty());
}

TEST_F(SendFileByEmailTest, PlainAndEmptyAddressesAreHandedOn) {
    auto detail = Open({Standard, NoLock});
    detail->ClientsEmailAddress = " jo.bloggs+backups@example.com.au ";
    EXPECT_TRUE(SendFileByEmail(*detail, false, "S", "B", Archive(), Sender));
    Input->Typed = QString("office@example.com");
    EXPECT_TRUE(SendFileByEmail(*detail, true, "S", "B", Archive(), Sender));
    EXPECT_EQ(detail->TransferExportEmailAddress, "office@example.com");
    // A blank answer leaves the mail program to ask.
    detail->TransferExportEmailAddress.clear();
    Input->Typed = QString("  ");
    EXPECT_TRUE(SendFileByEmail(*detail, true, "S", "B", Archive(), Sender));
    EXPECT_EQ(Sender.To, QStringList({"jo.bloggs+backups@example.com.au", "office@example.com", ""}));
    EXPECT_TRUE(Input->Shown.isEmpty());
}

} // namespace
