#include "shell/backup/BackupArchives.h"
#include "core/common/Exceptions.h"
#include "core/entity/EntityDetail.h"
#include "core/io/Win1252Codec.h"
#include "core/transactions/TransactionRecord.h"
#include "platform/mail/MailSender.h"
#include "shell/backup/ArchiveComment.h"
#include "shell/backup/RtfText.h"
#include "shell/backup/SendFileByEmail.h"
#include "tests/core/EntityTestSupport.h"

#include <QTextBlock>
#include <QTextDocument>
#include <optional>
#include <tuple>

using namespace BackupArchives;

namespace {

const QColor Black(0, 0, 0);
const QColor Blue(0, 0, 255);
const QColor Red(255, 0, 0);

// A prompter whose text questions are answered from a script (nullopt: Cancel).
class TInputPrompt : public TScriptedPrompt {
public:
    bool InputText(const QString& caption, const QString& prompt, QString& value) override {
        Questions.append({caption, prompt});
        if (Inputs.empty()) {
            ADD_FAILURE() << "Unexpected text prompt: " << prompt.toStdString();
            return false;
        }
        const std::optional<QString> answer = Inputs.front();
        Inputs.pop_front();
        if (answer)
            value = *answer;
        return answer.has_value();
    }
    std::deque<std::optional<QString>> Inputs;
    QList<std::pair<QString, QString>> Questions;
};

// Records the messages handed to it and answers as told.
class TFakeMailSender : public IMailSender {
public:
    struct TMessage {
        QString To, Subject, Body, Attachment;
    };
    bool Send(const QString& to, const QString& subject, const QString& body,
              const QString& attachment) override {
        Sent.append({to, subject, body, attachment});
        return Succeeds;
    }
    bool Succeeds = true;
    QList<TMessage> Sent;
};

// The archives of a client file: a backup folder in the test's temporary folder, a record without
// a lock, and a prompter that answers text questions.
class BackupArchivesTest : public TEntityFixture {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        TServices::SetPrompt(Input);
        Folder = TempPath("BACKUPS");
        ASSERT_TRUE(QDir().mkpath(Folder));
    }
    void TearDown() override {
        EXPECT_TRUE(Input->ScriptDone() && Input->Inputs.empty()) << "Scripted answers left unused";
        TEntityFixture::TearDown();
    }
    void Touch(const QString& name, const QDateTime& modified = QDateTime()) {
        QFile file(Folder + "/" + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("zip");
        file.flush();
        if (modified.isValid()) {
            ASSERT_TRUE(file.setFileTime(modified, QFileDevice::FileModificationTime));
        }
    }
    static QList<int> Numbers(const QList<TBackupFileInfo>& list) {
        QList<int> numbers;
        for (const TBackupFileInfo& info : list)
            numbers.append(info.Number);
        return numbers;
    }
    static QString TextOf(const TRtfParagraph& paragraph) {
        QString text;
        for (const TRtfRun& run : paragraph)
            text += run.Text;
        return text;
    }
    static QList<TRtfParagraph> Comment(const QByteArray& stored) {
        return TRtfText::Read(TWin1252Codec::Decode(stored));
    }
    static QString Fixture(const char* name) {
        return TWin1252Codec::Decode(TestData((QByteArray("rtf/") + name).constData()));
    }

    std::shared_ptr<TInputPrompt> Input = std::make_shared<TInputPrompt>();
    QString Folder;
    const QDateTime Afternoon{QDate(2006, 3, 5), QTime(15, 4)};
    const QDateTime Morning{QDate(2006, 4, 1), QTime(9, 5)};
};

// ---- names, folders, contents -----------------------------------------------------------------

TEST_F(BackupArchivesTest, NamesCarryTheYearsTwoDigitsAndAtLeastThreeDigitsOfNumber) {
    const std::tuple<int, int, QString> cases[] = {{2006, 7, "ACME0106.007"},     {2000, 1, "ACME0100.001"},
                                                   {1999, 12, "ACME0199.012"},    {2089, 999, "ACME0189.999"},
                                                   {2006, 1000, "ACME0106.1000"}, {6, 3, "ACME0106.003"}};
    for (const auto& [year, number, name] : cases)
        EXPECT_EQ(BackupArchiveName("ACME01", year, number), name) << year << " " << number;
    EXPECT_EQ(TransferArchiveName("ACME01", 2000), "ACME0100.QTF");
    EXPECT_EQ(TwoDigitYear(1990), "90");
}

TEST_F(BackupArchivesTest, FolderTakesTheChosenDriveLetter) {
    const std::tuple<QString, QChar, QString> cases[] = {
        {"C:\\BACKUPS", 'A', "A:\\BACKUPS"},
        {"c:\\QUILVANE\\TRANSFER", 'd', "D:\\QUILVANE\\TRANSFER"},
        {"\\BACKUPS", 'A', "A:\\BACKUPS"}, // no drive stored: put on the chosen one
        {"\\\\server\\share\\BACKUPS", 'A', "\\\\server\\share\\BACKUPS"}, // UNC: no letter to exchange
        {"C:\\BACKUPS", '1', "C:\\BACKUPS"}};
    for (const auto& [stored, drive, folder] : cases)
        EXPECT_EQ(ArchiveFolder(stored, drive), folder) << stored.toStdString();
    EXPECT_EQ(ArchivePath(ArchiveFolder("C:\\BACKUPS", 'A'), BackupArchiveName("ACME01", 2006, 7)),
              "A:\\BACKUPS\\ACME0106.007");
    EXPECT_EQ(ArchivePath(ArchiveFolder("C:\\TRANSFER\\", 'E'), TransferArchiveName("ACME01", 2006)),
              "E:\\TRANSFER\\ACME0106.QTF");
}

TEST_F(BackupArchivesTest, CodeThatIsNoPlainFileCodeIsRefused) {
    for (const QString code : {"..", "AC\\ME", "ACME/1", "AC*", ""}) {
        EXPECT_THROW(BackupArchiveName(code, 2006, 1), EQuilvaneError) << code.toStdString();
        EXPECT_THROW(IncludePatterns(code, 2006, true), EQuilvaneError) << code.toStdString();
        EXPECT_THROW(ListBackups(Folder, code, 2006), EQuilvaneError) << code.toStdString();
    }
}

TEST_F(BackupArchivesTest, IncludeListTakesTheYearsFilesAndReportsOfEveryYearButNoJobstreams) {
    const QStringList transfer{"ACME01.cfg",
                               "BANK_REC\\ACME0100.BOB",
                               "M_DETAIL\\ACME0100.ADF",
                               "M_DETAIL\\ACME0100.STD",
                               "M_DETAIL\\ACME0100.TXR",
                               "M_DETAIL\\ACME0100.CCR",
                               "M_DETAIL\\ACME01.RLO",
                               "M_DETAIL\\ACME01.RFT",
                               "M_DETAIL\\ACME0100.DTR",
                               "ACME01\\ACME0100.*"};
    EXPECT_EQ(IncludePatterns("ACME01", 2000, false), transfer);
    // A backup also carries the year's reconciliation files, which a restore removes.
    EXPECT_EQ(IncludePatterns("ACME01", 2000, true), transfer + QStringList{"BANK_REC\\ACME0100.*"});
}

// ---- numbering ----------------------------------------------------------------------------------

TEST_F(BackupArchivesTest, BackupNumberIsTheWholeExtensionWhenAllDigits) {
    const std::pair<QString, int> cases[] = {{"1000", 1000},           {"XYZ", 0},       {"-5", 0}, {" 5", 0},
                                             {"999999999", 999999999}, {"1000000000", 0}};
    for (const auto& [extension, number] : cases)
        EXPECT_EQ(BackupNumberOf(extension), number) << extension.toStdString();
}

TEST_F(BackupArchivesTest, ProposalIsOneAboveTheHighestBackupOnTheDrive) {
    const std::tuple<QStringList, int, int> cases[] = {
        {{"ACME0106.003", "ACME0106.XYZ"}, 2, 4}, // the non-numeric extension counts as 0
        {{}, -3, 1},
        {{"ACME0106.003"}, 9, 9},
        {{"ACME0106.003"}, 3, 4},
        {{"acme0106.005", "ACME0105.020", "ACME01060.030", "XACME0106.040"}, 1, 6},
        {{"ACME0106.999", "ACME0106.1000"}, 1, 1001}};
    for (const auto& [names, stored, proposed] : cases)
        EXPECT_EQ(ProposeNextBackup(names, "ACME01", 2006, stored), proposed)
            << names.join(' ').toStdString();
}

TEST_F(BackupArchivesTest, ListHoldsTheYearsBackupFilesHighestFirst) {
    for (const char* name :
         {"ACME0106.003", "ACME0106.010", "ACME0106.007", "ACME0106.999", "ACME0106.1000", "ACME0106.XYZ",
          "acme0106.004", "ACME0105.020", "ACME0106.007.~qvABCDEF", "ACME0106."})
        Touch(name);
    ASSERT_TRUE(QDir(Folder).mkdir("ACME0106.050"));
    ASSERT_TRUE(QFile::link(Folder + "/ACME0106.003", Folder + "/ACME0106.060"));

    const QList<TBackupFileInfo> list = ListBackups(Folder, "ACME01", 2006);
    EXPECT_EQ(Numbers(list), (QList<int>{1000, 999, 10, 7, 4, 3, 0}));
    ASSERT_EQ(list.size(), 7);
    EXPECT_EQ(list[0].Path, QFileInfo(Folder + "/ACME0106.1000").absoluteFilePath());
    EXPECT_EQ(list[6].Path, QFileInfo(Folder + "/ACME0106.XYZ").absoluteFilePath());

    EXPECT_TRUE(ListBackups(TempPath("MISSING"), "ACME01", 2006).isEmpty());
    EXPECT_TRUE(ListBackups(QString(), "ACME01", 2006).isEmpty());
}

TEST_F(BackupArchivesTest, ListEntriesShowNumberAndLastWriteTime) {
    Touch("ACME0106.007", Afternoon);
    Touch("ACME0106.002", Morning);
    const QList<TBackupFileInfo> list = ListBackups(Folder, "ACME01", 2006);
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[0].Modified, Afternoon);
    EXPECT_EQ(BackupListText(list[0]), "No. 7  (05 Mar 2006 at 3:04 pm)");
    EXPECT_EQ(BackupListText(list[1]), "No. 2  (01 Apr 2006 at 9:05 am)");
    EXPECT_EQ(BackupListText({"", 1, QDateTime(QDate(2006, 1, 2), QTime(0, 30))}),
              "No. 1  (02 Jan 2006 at 12:30 am)");
    // The proposal shows the current time in the long time format.
    EXPECT_EQ(ProposalText(8, Afternoon), "No. 8  (Sun 5 March 2006 at 15:04)");
}

TEST_F(BackupArchivesTest, PruningDeletesOnlyTheBackupThatFallsOutOfTheLevelsKept) {
    const std::tuple<int, int, int> cases[] = {{5, 3, 2},    {4, 3, 1},  {3, 3, -1},  {1, 99, -1},
                                               {100, 99, 1}, {5, 0, -1}, {5, -2, -1}, {1, 1, -1}};
    for (const auto& [number, levels, target] : cases)
        EXPECT_EQ(PruneTarget(number, levels), target) << number << " " << levels;
}

// ---- the comment ----------------------------------------------------------------------------------

TEST_F(BackupArchivesTest, CommentPutsTheInformationHeaderBeforeTheMemo) {
    const QString memo = TRtfText::Write({{{"Quarter ", false, QColor()}, {"done", true, Red}}});
    const QByteArray stored = BuildArchiveComment(memo, Afternoon, true);
    for (const char byte : stored)
        ASSERT_GT(static_cast<signed char>(byte), 0) << "a stored comment is 7-bit text";

    const QList<TRtfParagraph> expected{
        {{"File Information:", true, Blue}},
        {{"Created: ", true, Black}, {"05 Mar 2006 at 3:04 pm", false, Black}},
        {{"Saved to your system: ", true, Black}, {"@saveddate", false, Black}},
        {},
        {{"Memo:", true, Blue}},
        {{"Quarter ", false, QColor()}, {"done", true, Red}}};
    EXPECT_EQ(Comment(stored), expected);
}

TEST_F(BackupArchivesTest, EmptyMemoIsRecordedAsSuch) {
    for (const bool transfer : {true, false})
        for (const QString memo : {"", "   \n", "{\\rtf1 \\par \\par }"}) {
            const QList<TRtfParagraph> comment = Comment(BuildArchiveComment(memo, Afternoon, transfer));
            ASSERT_EQ(comment.size(), 6);
            EXPECT_EQ(TextOf(comment[5]), transfer ? "No memo was recorded for this transfer."
                                                   : "No memo was recorded for this backup.");
        }
}

TEST_F(BackupArchivesTest, CommentWithoutCreationTimeIsCreatedNow) {
    const QList<TRtfParagraph> comment = Comment(BuildArchiveComment("memo", QDateTime(), false));
    ASSERT_GE(comment.size(), 2);
    EXPECT_EQ(TextOf(comment[1]), "Created: 15 Mar 2024 at 2:45 pm");
}

TEST_F(BackupArchivesTest, ReadingShowsTheSavedTimeOfATransferAndDropsItsLineForABackup) {
    const QByteArray stored = BuildArchiveComment("Line one\nLine two", Afternoon, true);
    const QList<TRtfParagraph> transfer = TRtfText::Read(ReadArchiveComment(stored, true, Morning));
    const QStringList transferLines{"File Information:",
                                    "Created: 05 Mar 2006 at 3:04 pm",
                                    "Saved to your system: 01 Apr 2006 at 9:05 am",
                                    "",
                                    "Memo:",
                                    "Line one",
                                    "Line two"};
    EXPECT_EQ(TRtfText::PlainText(transfer), transferLines.join('\n'));
    ASSERT_EQ(transfer[2].size(), 2); // the time takes the placeholder's style
    EXPECT_EQ(transfer[2][1], (TRtfRun{"01 Apr 2006 at 9:05 am", false, Black}));

    const QString backup = ReadArchiveComment(stored, false, Morning);
    QStringList backupLines = transferLines;
    backupLines.removeAt(2);
    EXPECT_EQ(TRtfText::PlainText(TRtfText::Read(backup)), backupLines.join('\n'));
}

TEST_F(BackupArchivesTest, PlaceholderSplitOverStylesIsStillReplaced) {
    const QString stored = "{\\rtf1 File Information:\\par Saved: @saved\\b date\\b0  here\\par}";
    const QList<TRtfParagraph> read = TRtfText::Read(ReadArchiveComment(stored.toLatin1(), true, Morning));
    ASSERT_EQ(read.size(), 2);
    EXPECT_EQ(TextOf(read[1]), "Saved: 01 Apr 2006 at 9:05 am here");
}

TEST_F(BackupArchivesTest, CommentOfAnotherProgramGetsTheHeaderAtTheArchivesTime) {
    const QList<TRtfParagraph> read =
        TRtfText::Read(ReadArchiveComment("Sent from the old office", true, Afternoon));
    const QStringList lines{"File Information:",
                            "Created: 05 Mar 2006 at 3:04 pm",
                            "Saved to your system: 05 Mar 2006 at 3:04 pm",
                            "",
                            "Memo:",
                            "Sent from the old office"};
    EXPECT_EQ(TRtfText::PlainText(read), lines.join('\n'));
    EXPECT_EQ(read[0], (TRtfParagraph{{"File Information:", true, Blue}}));

    for (const bool transfer : {true, false})
        EXPECT_EQ(TRtfText::PlainText(TRtfText::Read(ReadArchiveComment(QByteArray(), transfer, Afternoon))),
                  NoMemoText(transfer));
}

TEST_F(BackupArchivesTest, MemoTooLongForAZipCommentIsCutToFit) {
    // Every 'é' is stored as a four-byte escape: 20,000 of them cannot fit.
    const QString memo = QString(20000, QChar(0xe9));
    const QByteArray stored = BuildArchiveComment(memo, Afternoon, false);
    EXPECT_LE(stored.size(), MaxArchiveCommentBytes);
    EXPECT_GT(stored.size(), MaxArchiveCommentBytes - 8); // as much of the memo as fits
    const QList<TRtfParagraph> read = Comment(stored);
    ASSERT_EQ(read.size(), 6);
    EXPECT_EQ(TextOf(read[4]), "Memo:");
    EXPECT_TRUE(memo.startsWith(TextOf(read[5])));
    EXPECT_GT(TextOf(read[5]).size(), 16000);

    // A memo of many paragraphs, and one with characters outside the code page, are cut too.
    const QString lines = QStringList(30000, "ab").join('\n');
    EXPECT_LE(BuildArchiveComment(lines, Afternoon, false).size(), MaxArchiveCommentBytes);
    const QString emoji = QString::fromUtf8("\U0001F600").repeated(5000);
    const QList<TRtfParagraph> cut = Comment(BuildArchiveComment(emoji, Afternoon, false));
    EXPECT_TRUE(emoji.startsWith(TextOf(cut[5])));
    EXPECT_FALSE(TextOf(cut[5]).back().isHighSurrogate());
}

TEST_F(BackupArchivesTest, MissingArchiveSaysWhereItWasLookedFor) {
    const QList<TRtfParagraph> expected{
        {{"File Information:", true, Blue}},
        {{"Unable to locate a transfer file in folder A:\\TRANSFER", true, Red}}};
    EXPECT_EQ(TRtfText::Read(ArchiveNotFoundComment(true, "A:\\TRANSFER\\")), expected);
    EXPECT_EQ(TRtfText::PlainText(TRtfText::Read(ArchiveNotFoundComment(false, "C:\\QUILVANE\\BACKUPS"))),
              "File Information:\nUnable to locate a backup file in folder C:\\QUILVANE\\BACKUPS");
}

// ---- rich text -----------------------------------------------------------------------------------

TEST_F(BackupArchivesTest, RichTextRoundTripsTextStylesAndEveryCharacter) {
    const QList<TRtfParagraph> paragraphs{
        {{"Braces {x} and \\back\tslash", false, QColor()}},
        {},
        {{QString::fromUtf8("€ café Ω "), true, Blue},
         {QString::fromUtf8("\U0001F600 \u00a0"), false, QColor(10, 20, 30)}},
        {{QString("soft") + QChar::LineSeparator + "break", false, Red}, {"!", true, Red}}};
    const QString rtf = TRtfText::Write(paragraphs);
    for (const QChar c : rtf)
        ASSERT_LT(c.unicode(), 0x80) << "written RTF is 7-bit";
    EXPECT_TRUE(rtf.contains("\\'80 caf\\'e9 \\u937?")); // the code page's byte, else the number
    EXPECT_TRUE(rtf.contains("\\{x\\}") && rtf.contains("\\\\back\\tab slash"));
    EXPECT_TRUE(
        rtf.contains("{\\colortbl ;\\red0\\green0\\blue0;\\red0\\green0\\blue255;\\red255\\green0\\blue0;"
                     "\\red10\\green20\\blue30;}"));
    EXPECT_EQ(TRtfText::Read(rtf), paragraphs);
    EXPECT_EQ(TRtfText::Read(TRtfText::Write({})), QList<TRtfParagraph>());
}

TEST_F(BackupArchivesTest, ReaderKeepsTheTextOfAnythingItIsGiven) {
    const std::pair<const char*, const char*> cases[] = {
        {"plain text\r\nsecond\n", "plain text\nsecond"},
        {"  {\\rtf1{\\fonttbl{\\f0 Arial;}}{\\*\\generator Msftedit;}Hi\\par}", "Hi"},
        {"{\\rtf1 A{\\*\\unknown secret {nested}}B}", "AB"},
        {"{\\rtf1 A{\\info{\\author Someone}}{\\pict\\wmetafile8 0a0b}B}", "AB"},
        {"{\\rtf1\\uc1 caf\\u233?}", "caf\xc3\xa9"},
        {"{\\rtf1\\uc2 x\\u8364AB y}", "x\xe2\x82\xac y"},
        {"{\\rtf1 A\\line B\\tab C}", "A\nB\tC"},
        {"{\\rtf1 A\\\nB}", "A\nB"},
        {"{\\rtf1 unbalanced {\\b bold", "unbalanced bold"},
        {"{\\rtf1 A}}} B", "A"},
        {"{\\rtf1 A\\'4", "A"},
        {"{\\rtf1 A\\'4}B", "A"},
        {"{\\rtf1 A\\'zz B}", "Azz B"},
        {"{\\rtf1 A\\b99999999999999999999999 B\\cf99999999999999 C}", "ABC"},
        {"{\\rtf1 \\{x\\}\\\\}", "{x}\\"},
        {"{\\rtf1 A\\bin3 x}yB}", "AB"},
        {"{\\rtf1 a\\~b\\_c\\-d\\emdash\\lquote q\\rquote}", "a\xc2\xa0"
                                                             "b\xe2\x80\x91"
                                                             "cd\xe2\x80\x94\xe2\x80\x98q\xe2\x80\x99"},
        {"{\\rtf1 \\'80\\'9f\\'81}", "\xe2\x82\xac\xc5\xb8\xc2\x81"},
        {"", ""},
        {"\\", "\\"}};
    for (const auto& [input, text] : cases)
        EXPECT_EQ(TRtfText::PlainText(TRtfText::Read(QString::fromUtf8(input))), QString::fromUtf8(text))
            << input;
}

TEST_F(BackupArchivesTest, ReaderFollowsBoldAndTheColourTable) {
    const QString rtf = "{\\rtf1{\\colortbl ;\\red255\\green0\\blue0;\\red300\\green0\\blue-4;}"
                        "\\b B\\b0 n\\cf1 R{\\b\\cf2 G}r\\cf9 D\\cf1\\b\\plain P}";
    const TRtfParagraph expected{{"B", true, QColor()}, {"n", false, QColor()},
                                 {"R", false, Red},     {"G", true, QColor(255, 0, 0)},
                                 {"r", false, Red},     {"DP", false, QColor()}};
    EXPECT_EQ(TRtfText::Read(rtf), QList<TRtfParagraph>{expected});
}

TEST_F(BackupArchivesTest, CommentOfTheOldRichEditReadsWithItsStyles) {
    const QString rtf = Fixture("richedit1-backup.rtf");
    ASSERT_FALSE(rtf.isEmpty());
    const QList<TRtfParagraph> read = TRtfText::Read(rtf);
    ASSERT_EQ(read.size(), 7);
    // That control's colour table has no empty entry: index 0 is black, 1 blue.
    EXPECT_EQ(read[0], (TRtfParagraph{{"File Information:", true, Blue}}));
    EXPECT_EQ(read[1], (TRtfParagraph{{"Created: ", true, Black}, {"05 Mar 2006 at 3:04 pm", false, Black}}));
    EXPECT_EQ(read[3], TRtfParagraph());
    EXPECT_EQ(read[6],
              (TRtfParagraph{{"Checked", true, Black}, {QString::fromUtf8(" by J\u00f6rg"), false, Black}}));

    const QString backup = ReadArchiveComment(TestData("rtf/richedit1-backup.rtf"), false, Morning);
    EXPECT_EQ(TRtfText::PlainText(TRtfText::Read(backup)),
              QString::fromUtf8(TestData("rtf/richedit1-backup.expected.txt")));
}

TEST_F(BackupArchivesTest, TransferCommentOfALaterRichEditReadsWithItsSavedTime) {
    const QString transfer = ReadArchiveComment(TestData("rtf/richedit3-transfer.rtf"), true,
                                                QDateTime(QDate(2006, 7, 2), QTime(8, 30)));
    const QList<TRtfParagraph> read = TRtfText::Read(transfer);
    EXPECT_EQ(TRtfText::PlainText(read), QString::fromUtf8(TestData("rtf/richedit3-transfer.expected.txt")));
    ASSERT_EQ(read.size(), 6);
    EXPECT_EQ(read[5].last(), (TRtfRun{"urgent", true, Red}));
}

TEST_F(BackupArchivesTest, MemoBoxDocumentConvertsBothWays) {
    QTextDocument document;
    EXPECT_TRUE(TRtfText::ParagraphsOf(document).isEmpty());
    const QList<TRtfParagraph> paragraphs{{{"Bold", true, Blue}, {" plain", false, QColor()}},
                                          {},
                                          {{QString("a") + QChar::LineSeparator + "b\t", false, Red}}};
    TRtfText::ToDocument(TRtfText::Write(paragraphs), document);
    EXPECT_EQ(document.blockCount(), 3);
    EXPECT_EQ(document.begin().text(), "Bold plain");
    EXPECT_EQ(TRtfText::Read(TRtfText::FromDocument(document)), paragraphs);

    TRtfText::ToDocument("first\nsecond", document);
    EXPECT_EQ(document.toPlainText(), "first\nsecond");
    EXPECT_FALSE(document.begin().begin().fragment().charFormat().fontWeight() >= QFont::Bold);
}

// ---- sending by e-mail --------------------------------------------------------------------------

TEST_F(BackupArchivesTest, AddressOnRecordReceivesTheArchiveWithoutAQuestion) {
    auto detail = Open({Standard, NoLock});
    detail->ClientsEmailAddress = " client@example.com ";
    detail->TransferExportEmailAddress = "office@example.com";
    Touch("ACME0106.007");
    TFakeMailSender sender;
    EXPECT_TRUE(SendFileByEmail(*detail, false, "Subject", "Body", Folder + "/ACME0106.007", sender));
    EXPECT_TRUE(SendFileByEmail(*detail, true, "Subject", "Body", Folder + "/ACME0106.007", sender));
    ASSERT_EQ(sender.Sent.size(), 2);
    EXPECT_EQ(sender.Sent[0].To, "client@example.com");
    EXPECT_EQ(sender.Sent[1].To, "office@example.com");
    EXPECT_EQ(sender.Sent[0].Subject, "Subject");
    EXPECT_EQ(sender.Sent[0].Body, "\n\nBody");
    EXPECT_EQ(sender.Sent[0].Attachment, QFileInfo(Folder + "/ACME0106.007").absoluteFilePath());
    EXPECT_TRUE(Input->Questions.isEmpty());
    EXPECT_TRUE(Input->Shown.isEmpty());
}

TEST_F(BackupArchivesTest, MissingAddressIsAskedForAndKept) {
    auto detail = Open({Standard, NoLock});
    Input->Inputs.push_back(QString("  office@example.com "));
    TFakeMailSender sender;
    EXPECT_TRUE(SendFileByEmail(*detail, true, "S", "B", Folder + "/ACME0106.QTF", sender));
    ASSERT_EQ(Input->Questions.size(), 1);
    EXPECT_EQ(Input->Questions[0], (std::pair<QString, QString>("To:", "Recipient's e-mail Address")));
    EXPECT_EQ(detail->TransferExportEmailAddress, "office@example.com");
    EXPECT_EQ(detail->ClientsEmailAddress, "");
    ASSERT_EQ(sender.Sent.size(), 1);
    EXPECT_EQ(sender.Sent[0].To, "office@example.com");

    // A blank answer keeps nothing and leaves the mail program to ask.
    Input->Inputs.push_back(QString("   "));
    EXPECT_TRUE(SendFileByEmail(*detail, false, "S", "B", Folder + "/ACME0106.QTF", sender));
    EXPECT_EQ(detail->ClientsEmailAddress, "");
    EXPECT_EQ(sender.Sent.last().To, "");
}

TEST_F(BackupArchivesTest, CancelledQuestionSendsAndShowsNothing) {
    auto detail = Open({Standard, NoLock});
    Input->Inputs.push_back(std::nullopt);
    TFakeMailSender sender;
    EXPECT_FALSE(SendFileByEmail(*detail, false, "S", "B", Folder + "/ACME0106.QTF", sender));
    EXPECT_TRUE(sender.Sent.isEmpty());
    EXPECT_TRUE(Input->Shown.isEmpty());
    EXPECT_TRUE(Input->Beeps.isEmpty());
    EXPECT_EQ(detail->ClientsEmailAddress, "");
}

TEST_F(BackupArchivesTest, FailedSendingSaysWhereTheArchiveIs) {
    auto detail = Open({Standard, NoLock});
    detail->ClientsEmailAddress = "client@example.com";
    Touch("ACME0106.QTF");
    TFakeMailSender sender;
    sender.Succeeds = false;
    Input->Answer(TMessageButton::OK);
    EXPECT_FALSE(SendFileByEmail(*detail, false, "S", "B", Folder + "/ACME0106.QTF", sender));
    ASSERT_EQ(Input->Shown.size(), 1);
    const QString path = QFileInfo(Folder + "/ACME0106.QTF").absoluteFilePath();
    EXPECT_EQ(Input->Shown[0].Text, MailNotStartedText(path));
    EXPECT_TRUE(Input->Shown[0].Text.contains("\n" + path + "\n"));
    EXPECT_EQ(Input->Shown[0].Kind, TMessageKind::Information);
    EXPECT_EQ(Input->Beeps, QList<TBeep>{TBeep::Information});
}

TEST_F(BackupArchivesTest, OnlyATransferToTheClientGoesToTheClientsAddress) {
    EXPECT_FALSE(EmailsToTransferAddress(6));
    for (const int process : {9, 10})
        EXPECT_TRUE(EmailsToTransferAddress(process)) << process;
}

} // namespace

// An archive entry of the year comes in under the name the program writes for that file, whatever
// case or separators the archive gives it; an entry that is no file of the year has no such name.
TEST(BackupArchivesYearFiles, EachEntryTakesTheProgramsNameOrNone) {
    const struct {
        const char* Entry;
        const char* Name;
    } cases[] = {
        {"abc123.cfg", "ABC123.CFG"},
        {"m_detail\\abc12306.adf", "M_DETAIL/ABC12306.ADF"},
        {"M_Detail/Abc123.rlo", "M_DETAIL/ABC123.RLO"},
        {"Abc123/abc12306.pa1", "ABC123/ABC12306.PA1"},
        {"abc123\\abc12306.pac", "ABC123/ABC12306.PAC"},
        {"ABC123/ABC12306.OB1", "ABC123/ABC12306.OB1"},
        {"bank_rec/abc12306.bob", "BANK_REC/ABC12306.BOB"},
        {"BANK_REC/abc12306.ruy", "BANK_REC/ABC12306.RUY"},
        {"M_DETAIL/ABC12306.RJS", ""},
        {"M_DETAIL/ABC12306.DTR", "M_DETAIL/ABC12306.DTR"},
        {"BANK_REC/ABC12306.JNK", ""},
        {"BANK_REC/ABC12306.RUZ", ""},
        {"ABC123/ABC12306.PAD", ""},
        {"ABC123/ABC12306.OB2", ""},
        {"ABC123/ABC12305.PA1", ""},
        {"ABC123/ABC12306.RM0", ""},
        {"ABC12306.PA1", ""},
        {"XYZ999/XYZ99906.PA1", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgramFileName(c.Entry, "ABC123", 2006), QString(c.Name)) << c.Entry;
    // A year's files: the record, eight charts, 11 page kinds of 13 month files and 3 of 2, and
    // two reconciliation files for each of 35 bank-account slots; their three folders besides.
    EXPECT_EQ(YearFileNames("ABC123", 2006).size(), 1 + 8 + 11 * 13 + 3 * 2 + 2 * 35);
    EXPECT_EQ(MaxArchiveEntries("ABC123", 2006), 228 + 3);
    EXPECT_EQ(MaxArchiveBytes("ABC123", 2006),
              (4ll << 20) + 8 * (256ll << 20) + 2 * 149 * MaxTransactionFileBytes());
}
