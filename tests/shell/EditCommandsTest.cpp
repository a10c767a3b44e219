#include "shell/editmenu/EditCommands.h"
#include "entry/masterdetails/MasterDetails.h"
#include "shell/editmenu/BasMenuState.h"
#include "shell/editmenu/ToolsMenuState.h"

#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

// ---- the Edit actions' rule ------------------------------------------------------------------

struct TClipCase {
    const char* Name;
    TClipEditFacts Facts;
    TClipEditState Expected; // Undo, Cut, Copy, Paste, SelectAll
};

TClipEditFacts MasterDetails(bool selectMode, bool hasItems, bool clipboardItems, bool clipboardText = true,
                             bool canUndo = false) {
    TClipEditFacts facts;
    facts.MasterDetails = true;
    facts.SelectMode = selectMode;
    facts.HasItems = hasItems;
    facts.ClipboardHasItems = clipboardItems;
    facts.ClipboardHasText = clipboardText;
    facts.CanUndo = canUndo;
    // The grid has the focus unless a case says otherwise.
    facts.EditControl = canUndo;
    return facts;
}

TClipEditFacts Control(bool editControl, bool clipboardText, bool canUndo, bool clipboardItems = false) {
    TClipEditFacts facts;
    facts.EditControl = editControl;
    facts.ClipboardHasText = clipboardText;
    facts.CanUndo = canUndo;
    facts.ClipboardHasItems = clipboardItems;
    return facts;
}

TEST(EditCommandsStateTest, EnablesTheEditActionsByTheFormAndControlInFront) {
    const TClipCase cases[] = {
        {"details with items", MasterDetails(false, true, false), {false, true, true, false, true}},
        {"details, items on clipboard", MasterDetails(false, true, true), {false, true, true, true, true}},
        {"details in select mode", MasterDetails(true, true, true), {false, false, false, false, false}},
        {"details without items", MasterDetails(false, false, true), {false, false, false, false, false}},
        {"details, undo in editor",
         MasterDetails(false, true, false, true, true),
         {true, true, true, false, true}},
        {"details lookup, undo",
         MasterDetails(true, true, true, true, true),
         {false, false, false, false, false}},
        {"editor", Control(true, false, false), {false, true, true, false, true}},
        {"editor, text", Control(true, true, false), {false, true, true, true, true}},
        {"editor, undo", Control(true, true, true), {true, true, true, true, true}},
        // Chart items on the clipboard are no text for an editor.
        {"editor, chart items", Control(true, false, false, true), {false, true, true, false, true}},
        {"no editor", Control(false, true, true), {false, false, false, false, false}},
    };
    for (const TClipCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TClipEditState state = TClipEditState::Of(c.Facts);
        EXPECT_EQ(state.Undo, c.Expected.Undo);
        EXPECT_EQ(state.Cut, c.Expected.Cut);
        EXPECT_EQ(state.Copy, c.Expected.Copy);
        EXPECT_EQ(state.Paste, c.Expected.Paste);
        EXPECT_EQ(state.SelectAll, c.Expected.SelectAll);
    }
}

// ---- the Tools and B&AS / IAS menus ----------------------------------------------------------

TEST(EditCommandsToolsMenuTest, FollowsTheActiveFileItsLastYearAndItsEntityType) {
    struct TCase {
        bool Active;
        bool LastYear;
        const char* EntityType;
        bool BringForward, FileItems, Tessaly;
    };
    const TCase cases[] = {
        {false, true, "SUP", false, false, false}, {true, false, "CO", false, true, false},
        {true, true, "CO", true, true, false},     {true, false, "sup", false, true, true},
        {true, true, "Sup", true, true, true},     {true, true, "SUPER", true, true, false},
        {true, true, "", true, true, false},       {true, true, " SUP", true, true, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(
            QStringLiteral("%1 %2 '%3'").arg(c.Active).arg(c.LastYear).arg(c.EntityType).toStdString());
        const TToolsMenuState state =
            TToolsMenuState::Of(c.Active, c.LastYear, QString::fromLatin1(c.EntityType));
        EXPECT_EQ(state.BringForward, c.BringForward);
        EXPECT_EQ(state.TransferBankTransactions, c.FileItems);
        EXPECT_EQ(state.RenameFile, c.FileItems);
        EXPECT_EQ(state.CopyFile, c.FileItems);
        EXPECT_EQ(state.DataIntegrityCheck, c.FileItems);
        EXPECT_EQ(state.Tessaly, c.Tessaly);
        EXPECT_TRUE(state.TransferDiskInventory);
        EXPECT_TRUE(state.Calculator);
    }
}

TEST(EditCommandsBasMenuTest, OpenGroupFilesOnlyForTheGroupRepresentative) {
    struct TCase {
        bool Active;
        int Option;
        bool OpenGroupFiles;
    };
    const TCase cases[] = {{true, 0, false}, {true, 1, false},  {true, 2, true},
                           {true, 3, false}, {false, 2, false}, {true, 258, false}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Option);
        const TBasMenuState state = TBasMenuState::Of(c.Active, c.Option);
        EXPECT_EQ(state.OpenGroupFiles, c.OpenGroupFiles);
        // The record keeps no annual GST setting: the annual items stay disabled.
        EXPECT_FALSE(state.AnnualGSTReturn);
        EXPECT_FALSE(state.AnnualGSTInformationReport);
    }
}

// ---- the commands on real widgets ------------------------------------------------------------

class EditCommandsWidgetTest : public ::testing::Test {
protected:
    void SetUp() override { QGuiApplication::clipboard()->clear(); }
    void TearDown() override { QGuiApplication::clipboard()->clear(); }
};

TEST_F(EditCommandsWidgetTest, CopyThenPasteMovesTextBetweenLineEditors) {
    QWidget form;
    auto* edtFrom = new QLineEdit(QStringLiteral("Acme Pty Ltd"), &form);
    auto* edtTo = new QLineEdit(QStringLiteral("x"), &form);

    edtFrom->setSelection(5, 3); // "Pty"
    TEditCommands::Run(TEditCommands::ecCopy, &form, edtFrom);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Pty"));
    EXPECT_EQ(edtFrom->text(), QStringLiteral("Acme Pty Ltd"));

    TEditCommands::Run(TEditCommands::ecSelectAll, &form, edtTo);
    EXPECT_EQ(edtTo->selectedText(), QStringLiteral("x"));
    EXPECT_TRUE(TEditCommands::StateFor(&form, edtTo).Paste);
    TEditCommands::Run(TEditCommands::ecPaste, &form, edtTo);
    EXPECT_EQ(edtTo->text(), QStringLiteral("Pty"));

    EXPECT_TRUE(TEditCommands::StateFor(&form, edtTo).Undo);
    TEditCommands::Run(TEditCommands::ecUndo, &form, edtTo);
    EXPECT_EQ(edtTo->text(), QStringLiteral("x"));

    edtFrom->setSelection(0, 5);
    TEditCommands::Run(TEditCommands::ecCut, &form, edtFrom);
    EXPECT_EQ(edtFrom->text(), QStringLiteral("Pty Ltd"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Acme "));
}

TEST_F(EditCommandsWidgetTest, FindsTheEditControlBehindTheFocus) {
    QWidget form;
    auto* spin = new QSpinBox(&form);
    auto* text = new QTextEdit(&form);
    auto* plain = new QPlainTextEdit(&form);
    auto* label = new QLabel(QStringLiteral("Code"), &form);
    auto* spinEditor = spin->findChild<QLineEdit*>();
    ASSERT_NE(spinEditor, nullptr);
    // A spin box shows its value once it is shown, as a focused one is.
    form.show();

    EXPECT_EQ(TEditCommands::EditControlOf(spin), spin);
    EXPECT_EQ(TEditCommands::EditControlOf(spinEditor), spin);
    EXPECT_EQ(TEditCommands::EditControlOf(text), text);
    EXPECT_EQ(TEditCommands::EditControlOf(text->viewport()), text);
    EXPECT_EQ(TEditCommands::EditControlOf(plain->viewport()), plain);
    EXPECT_EQ(TEditCommands::EditControlOf(label), nullptr);
    EXPECT_EQ(TEditCommands::EditControlOf(nullptr), nullptr);

    // Nothing to act on: every action is disabled and running one changes nothing.
    QGuiApplication::clipboard()->setText(QStringLiteral("12"));
    EXPECT_EQ(TEditCommands::StateFor(&form, label), TClipEditState{});
    TEditCommands::Run(TEditCommands::ecPaste, &form, label);
    TEditCommands::Run(99, &form, spin);
    TEditCommands::Run(-1, &form, spin);
    EXPECT_EQ(spin->value(), 0);

    // A spin box pastes into its editor.
    TEditCommands::Run(TEditCommands::ecSelectAll, &form, spin);
    EXPECT_EQ(spinEditor->selectedText(), QStringLiteral("0"));
    TEditCommands::Run(TEditCommands::ecPaste, &form, spin);
    EXPECT_EQ(spinEditor->text(), QStringLiteral("12"));

    // A text editor: select all, copy, paste into a plain editor.
    text->setPlainText(QStringLiteral("Memo"));
    EXPECT_FALSE(TEditCommands::StateFor(&form, plain).Undo);
    TEditCommands::Run(TEditCommands::ecSelectAll, &form, text->viewport());
    TEditCommands::Run(TEditCommands::ecCopy, &form, text);
    TEditCommands::Run(TEditCommands::ecPaste, &form, plain);
    EXPECT_EQ(plain->toPlainText(), QStringLiteral("Memo"));
    EXPECT_TRUE(TEditCommands::StateFor(&form, plain).Undo);
}

TEST_F(EditCommandsWidgetTest, AMasterDetailsWindowInFrontTakesTheCommandsFromTheEditor) {
    QMdiArea area;
    auto* details = new TfmMasterDetails;
    QMdiSubWindow* window = area.addSubWindow(details);
    QWidget other;
    auto* edtName = new QLineEdit(QStringLiteral("Acme"), &other);
    QGuiApplication::clipboard()->setText(QStringLiteral("text"));

    EXPECT_EQ(TEditCommands::MasterDetailsOf(details), details);
    EXPECT_EQ(TEditCommands::MasterDetailsOf(window), details);
    EXPECT_EQ(TEditCommands::MasterDetailsOf(&other), nullptr);
    EXPECT_EQ(TEditCommands::MasterDetailsOf(nullptr), nullptr);
    QDialog lookup;
    EXPECT_EQ(TEditCommands::MasterDetailsOf(&lookup), nullptr);
    auto* inLookup = new TfmMasterDetails(&lookup);
    EXPECT_EQ(TEditCommands::MasterDetailsOf(&lookup), inLookup);

    // Without a chart the window has no items: nothing can be chosen, although an editor has the
    // focus, and Select All does not reach the editor.
    const TClipEditFacts facts = TEditCommands::FactsFor(window, edtName);
    EXPECT_TRUE(facts.MasterDetails);
    EXPECT_FALSE(facts.SelectMode);
    EXPECT_FALSE(facts.HasItems);
    EXPECT_FALSE(facts.ClipboardHasItems);
    EXPECT_TRUE(facts.ClipboardHasText);
    EXPECT_EQ(TEditCommands::StateFor(window, edtName), TClipEditState{});
    TEditCommands::Run(TEditCommands::ecSelectAll, window, edtName);
    EXPECT_TRUE(edtName->selectedText().isEmpty());

    // With another form in front the editor takes it.
    TEditCommands::Run(TEditCommands::ecSelectAll, &other, edtName);
    EXPECT_EQ(edtName->selectedText(), QStringLiteral("Acme"));
}

} // namespace
