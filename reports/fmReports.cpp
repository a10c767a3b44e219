#include "reports/fmReports.h"

#include "controls/placement/FormPlacement.h"
#include "controls/util/SlotGuard.h"
#include "core/common/Exceptions.h"
#include "core/files/StoredFileWriter.h"
#include "core/services/Services.h"
#include "core/services/UserPrompt.h"
#include "core/vocab/ReportVocabulary.h"
#include "platform/printing/ProgramPrinter.h"
#include "reports/EntityReportSources.h"
#include "reports/LedgerReports.h"
#include "reports/LevelReports.h"
#include "reports/ReportPagination.h"
#include "reports/ReportMenu.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The print font: this size, made smaller down to the least until the widest line fits.
constexpr int PrintPointSize = 9;
constexpr int LeastPrintPointSize = 5;

QPlainTextEdit* PageText(QTabWidget* tabs, int index) {
    return qobject_cast<QPlainTextEdit*>(tabs->widget(index));
}

// The suggested name of a document's PDF file: its title without the characters file names
// cannot hold.
QString PdfName(const QString& title) {
    QString name = title;
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (QChar& c : name)
        if (forbidden.contains(c))
            c = u'_';
    return (name.trimmed().isEmpty() ? QStringLiteral("Report") : name.trimmed()) + QStringLiteral(".pdf");
}

// The folder of the last PDF file written in this run; empty before the first.
QString& LastPdfFolder() {
    static QString folder;
    return folder;
}

} // namespace

TfmReports::TfmReports(QWidget* parent)
    : QWidget(parent), Tabs(new QTabWidget(this)),
      btnPrint(new QPushButton(QStringLiteral("&Print..."), this)),
      btnSavePdf(new QPushButton(QStringLiteral("Sa&ve as PDF..."), this)),
      FormPlacement(new TFormPlacement(this)) {
    setWindowTitle(QStringLiteral("Reports"));
    setObjectName(QStringLiteral("fmReports"));
    btnPrint->setObjectName(QStringLiteral("btnPrint"));
    btnSavePdf->setObjectName(QStringLiteral("btnSavePdf"));
    // Below this the report pages cannot be read; a stored place smaller than it is not taken.
    setMinimumSize(240, 120);
    // The window restores and saves its placement itself.
    FormPlacement->SetActive(false);
    FormPlacement->SetIniFileName(QStringLiteral("Quilvane.ini"));
    FormPlacement->SetIniSection(PlacementSection);
    FormPlacement->SetOptions(TPlacementOption::Position);

    ConfirmPrint = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, this);
        return dialog.exec() == QDialog::Accepted;
    };
    ChoosePdfFile = [this](const QString& startPath) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Save as PDF"), startPath,
                                            QStringLiteral("PDF files (*.pdf)"));
    };

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(4, 4, 4, 0);
    buttons->addWidget(btnPrint);
    buttons->addWidget(btnSavePdf);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(buttons);
    layout->addWidget(Tabs);
    connect(Tabs, &QTabWidget::currentChanged, this, [this](int index) { Model.SetCurrent(index); });
    connect(btnPrint, &QPushButton::clicked, this, [this] { GuardSlot([this] { btnPrintClick(); }); });
    connect(btnSavePdf, &QPushButton::clicked, this, [this] { GuardSlot([this] { btnSavePdfClick(); }); });
    UpdateButtons();
}

void TfmReports::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Only once the window is in its frame does its position mean anything there. A placement
    // that cannot be read leaves the window where the frame put it.
    if (!FormPlacement->Restored())
        FormPlacement->RestoreFormPlacementQuietly();
}

void TfmReports::closeEvent(QCloseEvent* event) {
    // A placement that cannot be written never keeps the window open.
    FormPlacement->SaveFormPlacementQuietly();
    QWidget::closeEvent(event);
}

bool TfmReports::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        QPlainTextEdit* text = PageText(Tabs, Tabs->currentIndex());
        if (text && watched == text->viewport()) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            const int line = text->cursorForPosition(mouse->position().toPoint()).blockNumber();
            bool handled = false;
            GuardSlot([&] { handled = ActivateLine(line); });
            if (handled)
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfmReports::AddPage(int index) {
    auto* text = new QPlainTextEdit(Tabs);
    text->setReadOnly(true);
    text->setLineWrapMode(QPlainTextEdit::NoWrap);
    text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text->viewport()->installEventFilter(this);
    Tabs->insertTab(index, text, Model.Document(index).Title);
}

void TfmReports::ShowLines(int index) {
    PageText(Tabs, index)->setPlainText(Model.Document(index).Lines.join(u'\n'));
}

void TfmReports::UpdateButtons() {
    const bool hasDocument = Model.Current() >= 0;
    btnPrint->setEnabled(hasDocument);
    btnSavePdf->setEnabled(hasDocument);
}

int TfmReports::ShowReport(const TReportText& report, const TEntityInfo* owner) {
    const int index = Model.Add(report.Title, owner, report.Lines, report.Targets);
    AddPage(index);
    ShowLines(index);
    Tabs->setCurrentIndex(index);
    UpdateButtons();
    // The report just asked for takes the keyboard, so it scrolls by the keys and Alt with a
    // button's letter reaches this window's buttons.
    PageText(Tabs, index)->setFocus();
    return index;
}

void TfmReports::AddLine(const QString& line) {
    const int before = Model.Count();
    const int index = Model.AppendLine(line);
    if (Model.Count() != before) {
        AddPage(index);
        Tabs->setCurrentIndex(index);
    }
    PageText(Tabs, index)->appendPlainText(line);
    UpdateButtons();
}

void TfmReports::DetachEntity(const TEntityInfo& entity) {
    // The documents already know which stays current; the tab bar's moves on the way are not news.
    const QSignalBlocker quiet(Tabs);
    for (int index : Model.Detach(&entity)) {
        QWidget* page = Tabs->widget(index);
        Tabs->removeTab(index);
        delete page;
    }
    if (Model.Current() >= 0)
        Tabs->setCurrentIndex(Model.Current());
    UpdateButtons();
}

bool TfmReports::CloseWhenEmpty() {
    if (Model.Count() > 0)
        return false;
    // In the main window the frame around the window is what the user sees.
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        return frame->close();
    return close();
}

bool TfmReports::ActivateLine(int line) {
    const int current = Model.Current();
    const TReportLineTarget* target = Model.Target(current, line);
    if (!target || !DrillDown)
        return false;
    // The drill-down may change the window's documents: it works on copies.
    const TEntityInfo& owner = *Model.Document(current).Owner;
    const TReportLineTarget chosen = *target;
    const auto drillDown = DrillDown;
    drillDown(owner, chosen);
    return true;
}

void TfmReports::RunReport(const TEntityInfo& entity, int reportNumber) {
    ShowReport(ProduceReport(reportNumber, EntityReportSources(entity)), &entity);
}

void TfmReports::RunReport(TEntityInfo& entity, int reportNumber) {
    if (reportNumber == ::GeneralLedgerReport)
        GeneralLedgerReport(entity);
    else if (reportNumber == TransactionListing)
        TransactionListReport(entity);
    else
        RunReport(static_cast<const TEntityInfo&>(entity), reportNumber);
}

void TfmReports::GeneralLedgerReport(TEntityInfo& entity) {
    try {
        ShowReport(GeneralLedgerText(entity), &entity);
    } catch (const EOperationCancelled&) {
        // The user stopped it: no report.
    }
}

void TfmReports::TransactionListReport(TEntityInfo& entity) {
    try {
        ShowReport(TransactionListText(entity), &entity);
    } catch (const EOperationCancelled&) {
        // The user stopped it: no report.
    }
}

void TfmReports::ChartOfAccountsReport(const TEntityInfo& entity) {
    RunReport(entity, ChartOfAccountsListing);
}

void TfmReports::StdDescriptionsReport(const TEntityInfo& entity) {
    RunReport(entity, StdDescriptionsListing);
}

void TfmReports::TaxCodesReport(const TEntityInfo& entity) {
    RunReport(entity, TaxCodesListing);
}

void TfmReports::CurrencyRatesReport(const TEntityInfo& entity) {
    RunReport(entity, CurrencyRatesListing);
}

void TfmReports::TransactionFilesReport(const TEntityInfo& entity) {
    RunReport(entity, TransactionFilesListing);
}

void TfmReports::LogReport(const TEntityInfo& entity, int reportNumber) {
    RunReport(entity, reportNumber);
}

void TfmReports::RunMasterReport(const TEntityInfo& /*entity*/, int reportNumber, int /*level*/) {
    MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error, MasterReportMissingText(reportNumber),
                       TMessageButton::OK);
}

// --- printing -------------------------------------------------------------------------------------

int TfmReports::PrintLines(QPrinter& printer, const QString& title, const QStringList& lines) {
    QPainter painter;
    if (!painter.begin(&printer))
        return 0;
    // The painter's origin is the corner of the printable area, inside the page layout's margins;
    // the printer's size is that area's.
    const QSize printable(printer.width(), printer.height());
    qsizetype widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, line.size());
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(PrintPointSize);
    // The font is fixed-pitch: a line of the widest line's length stands for them all.
    const QString widestLine(widest, u'M');
    while (font.pointSize() > LeastPrintPointSize &&
           QFontMetrics(font, &printer).horizontalAdvance(widestLine) > printable.width())
        font.setPointSize(font.pointSize() - 1);
    painter.setFont(font);
    const QFontMetrics metrics(font, &printer);
    // A line takes the whole height of its glyphs even where the font's leading is negative.
    const TReportPagination pagination(printable, std::max(metrics.height(), metrics.lineSpacing()));
    // Each line is drawn from the top of its rectangle and kept within it.
    constexpr int LineFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    const int pages = pagination.PageCount(lines.size());
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !printer.newPage())
            break;
        if (pagination.HasHeader()) {
            const QRect header = pagination.HeaderRect();
            painter.drawText(header, LineFlags, title);
            painter.drawText(header, Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine,
                             QStringLiteral("Page %1").arg(page + 1));
        }
        const qsizetype first = qsizetype(page) * pagination.LinesPerPage();
        const qsizetype last = std::min(lines.size(), first + pagination.LinesPerPage());
        for (qsizetype i = first; i < last; ++i)
            painter.drawText(pagination.LineRect(i), LineFlags, lines[i]);
    }
    painter.end();
    return pages;
}

void TfmReports::PrintCurrent(QPrinter& printer) {
    PrintDocument(printer);
}

int TfmReports::PrintDocument(QPrinter& printer) {
    const int current = Model.Current();
    if (current < 0)
        return 0;
    const TReportDocuments::TDocument& document = Model.Document(current);
    printer.setDocName(document.Title);
    return PrintLines(printer, document.Title, document.Lines);
}

bool TfmReports::SaveCurrentAsPdf(const QString& path) {
    const int current = Model.Current();
    if (current < 0 || path.isEmpty())
        return false;
    const TReportDocuments::TDocument& document = Model.Document(current);
    try {
        // The temporary file goes when the writer does, unless it was renamed over the path.
        TStoredFileWriter writer(path);
        const QString temporary = static_cast<QFile&>(writer.Device()).fileName();
        {
            QPrinter printer(QPrinter::HighResolution);
            PreparePdfPrinter(printer, temporary, document.Title);
            if (PrintLines(printer, document.Title, document.Lines) == 0)
                return false;
        }
        writer.Commit();
        return true;
    } catch (const EQuilvaneError&) {
        return false;
    }
}

void TfmReports::PreparePdfPrinter(QPrinter& printer, const QString& file, const QString& title) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    UseDefaultMargins(printer);
    printer.setDocName(title);
}

void TfmReports::btnPrintClick() {
    if (Model.Current() < 0)
        return;
    QPrinter& printer = ProgramPrinter();
    if (ConfirmPrint && ConfirmPrint(printer) && PrintDocument(printer) == 0)
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error,
                           QStringLiteral("The report could not be printed."), TMessageButton::OK);
}

void TfmReports::btnSavePdfClick() {
    const int current = Model.Current();
    if (current < 0 || !ChoosePdfFile)
        return;
    const QString path = ChoosePdfFile(PdfStartPath(Model.Document(current).Title));
    if (path.isEmpty())
        return;
    if (!SaveCurrentAsPdf(path)) {
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error,
                           QStringLiteral("The report could not be saved as %1.").arg(path),
                           TMessageButton::OK);
        return;
    }
    LastPdfFolder() = QFileInfo(path).absolutePath();
}

QString TfmReports::PdfStartFolder() {
    const QString last = LastPdfFolder();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    // Never the working folder, which is the program's and no place for the user's files.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return documents;
    return QDir::homePath();
}

QString TfmReports::PdfStartPath(const QString& title) {
    return QDir(PdfStartFolder()).filePath(PdfName(title));
}
