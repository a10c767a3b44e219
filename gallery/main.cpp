// Shows each visible control of the program in a typical state and writes a picture of each into
// a folder (the first argument; "gallery-shots" when none). Exits with 1 when a picture could not
// be written or shows nothing. Run it under a display (xvfb-run) or the offscreen platform.

#include "controls/buttons/RxSpeedButton.h"
#include "controls/calculator/dxCalc.h"
#include "controls/calculator/fmCalculator.h"
#include "controls/chart/ChartFX.h"
#include "controls/dates/CalendarDialog.h"
#include "controls/dates/DateEdit.h"
#include "controls/dates/DateEditRules.h"
#include "controls/dates/DateNavigator.h"
#include "controls/dates/MonthCalendar.h"
#include "controls/files/DirectoryEdit.h"
#include "controls/grids/MultiSelectStringGrid.h"
#include "controls/numeric/NumberEdit.h"
#include "controls/progress/dxfProgressBar.h"
#include "controls/small/AsUrlLabel.h"
#include "controls/small/GroupBoxMultiSelect.h"
#include "controls/util/CustomComboEdit.h"
#include "core/dates/DateNumbers.h"
#include "gallery/GalleryShot.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QPointer>
#include <QPrinter>
#include <QTest>
#include <QTextStream>
#include <QVBoxLayout>
#include <functional>
#include <memory>
#include <vector>

namespace {

// Where the pictures go, and the printed pages that could not be written.
QString ShotFolder;
int PrintFailures = 0;

// A plain window holding rows of labelled controls.
QWidget* FormWindow(const QString& title, const std::vector<std::pair<QString, QWidget*>>& rows) {
    auto* window = new QWidget;
    window->setWindowTitle(title);
    auto* layout = new QFormLayout(window);
    for (const auto& [label, control] : rows)
        layout->addRow(label, control);
    window->resize(320, window->sizeHint().height());
    return window;
}

TGalleryShot NumberEditShot() {
    auto* money = new TNumberEdit;
    money->SetNumberType(TNumberType::ntMoney);
    money->setText(QStringLiteral("1234.50"));
    auto* percentage = new TNumberEdit;
    percentage->SetNumberType(TNumberType::ntPercentage);
    percentage->setText(QStringLiteral("100"));
    QWidget* window =
        FormWindow(QStringLiteral("Number edits"),
                   {{QStringLiteral("Amount"), money}, {QStringLiteral("Retained profit %"), percentage}});
    window->show();
    return {QStringLiteral("number-edit"), window};
}

TGalleryShot ComboEditShot() {
    auto* edit = new TCustomComboEdit;
    edit->SetGlyphKind(TCustomComboEdit::TGlyphKind::Ellipsis);
    edit->setText(QStringLiteral("/home/practice/IMPORT"));
    QWidget* window = FormWindow(QStringLiteral("Edit with a button"), {{QStringLiteral("Folder"), edit}});
    window->show();
    return {QStringLiteral("combo-edit"), window};
}

TGalleryShot ProgressBarShot() {
    auto* solid = new TdxfProgressBar;
    solid->SetPosition(40);
    auto* gradient = new TdxfProgressBar;
    gradient->SetStyle(TdxfPBStyle::sExRectangles);
    gradient->SetShowText(true);
    gradient->SetPosition(65);
    QWidget* window = FormWindow(QStringLiteral("Progress bars"),
                                 {{QStringLiteral("Solid"), solid}, {QStringLiteral("Gradient"), gradient}});
    window->show();
    return {QStringLiteral("progress-bar"), window};
}

TGalleryShot CalculatorShot() {
    auto* calculator = new TfrmCalculator;
    calculator->show();
    if (auto* pad = calculator->findChild<TdxCalculator*>())
        QTest::keyClicks(pad, QStringLiteral("1234.5"));
    return {QStringLiteral("calculator"), calculator};
}

TGalleryShot DateEditShot() {
    auto* edit = new TdxDateEdit;
    edit->SetDate(DateFromQDate(QDate(2006, 3, 15)));
    auto* empty = new TdxDateEdit;
    QWidget* window = FormWindow(QStringLiteral("Date edits"),
                                 {{QStringLiteral("Start date"), edit}, {QStringLiteral("End date"), empty}});
    window->resize(260, window->height());
    window->show();
    QTest::qWait(20);
    edit->DropDown();
    TGalleryShot shot(QStringLiteral("date-edit"), window);
    shot.AddPopup(TdxDateEdit::SharedNavigator());
    return shot;
}

TGalleryShot CalendarDialogShot() {
    auto* dialog = new TfmCalendar;
    dialog->SetDate(EncodeDateNum(2006, 3, 15), -1);
    dialog->show();
    return {QStringLiteral("calendar-window"), dialog};
}

TGalleryShot MonthCalendarShot() {
    auto* window = new QWidget;
    window->setWindowTitle(QStringLiteral("Month calendar"));
    auto* layout = new QVBoxLayout(window);
    auto* calendar = new TbtCalendar;
    calendar->SetMonthAcross(2);
    calendar->SetSelStart(DateFromQDate(QDate(2006, 6, 30)));
    layout->addWidget(calendar);
    window->show();
    return {QStringLiteral("month-calendar"), window};
}

TGalleryShot GridShot() {
    auto* grid = new TMultiSelectStringGrid;
    const QStringList titles = {QStringLiteral("Code"), QStringLiteral("Name"), QStringLiteral("Year"),
                                QStringLiteral("Availability")};
    const QList<QStringList> rows = {{QStringLiteral("ABBOTT"), QStringLiteral("Abbott & Sons Pty Ltd"),
                                      QStringLiteral("2006"), QStringLiteral("Available")},
                                     {QStringLiteral("BRIGHT"), QStringLiteral("Bright Cleaning Services"),
                                      QStringLiteral("2006"), QStringLiteral("In use by WORKSTATION2")},
                                     {QStringLiteral("CARTER"), QStringLiteral("Carter Family Trust"),
                                      QStringLiteral("2005"), QStringLiteral("Available")},
                                     {QStringLiteral("DUNMOR"), QStringLiteral("Dunmore Orchards"),
                                      QStringLiteral("2006"), QStringLiteral("Open on your desktop")},
                                     {QStringLiteral("ELLIOT"), QStringLiteral("Elliot Plumbing"),
                                      QStringLiteral("2006"), QStringLiteral("Available")}};
    grid->setColumnCount(static_cast<int>(titles.size()));
    grid->setHorizontalHeaderLabels(titles);
    grid->setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < rows.size(); ++row)
        for (int column = 0; column < titles.size(); ++column)
            grid->setItem(row, column, new QTableWidgetItem(rows[row][column]));
    grid->verticalHeader()->hide();
    grid->resizeColumnsToContents();
    grid->SetRowSelected(0, true);
    grid->SetRowSelected(2, true);
    auto* window = new QWidget;
    window->setWindowTitle(QStringLiteral("Multi-select grid"));
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(grid);
    window->resize(460, 200);
    window->show();
    return {QStringLiteral("multi-select-grid"), window};
}

TGalleryShot SmallControlsShot() {
    auto* folder = new TDirectoryEdit;
    folder->SetDialogText(QStringLiteral("Import Folder"));
    folder->setText(QStringLiteral("/home/practice/IMPORT"));
    auto* buttons = new QWidget;
    auto* buttonRow = new QHBoxLayout(buttons);
    buttonRow->setContentsMargins(0, 0, 0, 0);
    for (const QString& caption : {QStringLiteral("Day"), QStringLiteral("Week"), QStringLiteral("Month")}) {
        auto* button = new TRxSpeedButton;
        button->setText(caption);
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setChecked(caption == QStringLiteral("Week"));
        buttonRow->addWidget(button);
    }
    buttonRow->addStretch();
    auto* group = new TGroupBoxMultiSelect(QStringLiteral("Pages to bring forward"));
    auto* groupLayout = new QVBoxLayout(group);
    for (const QString& page : {QStringLiteral("Cash receipts"), QStringLiteral("Cash payments"),
                                QStringLiteral("General journal")}) {
        auto* box = new QCheckBox(page);
        box->setChecked(page != QStringLiteral("General journal"));
        groupLayout->addWidget(box);
    }
    auto* link = new TAsUrlLabel(QStringLiteral("www.quilvane.example"));
    QWidget* window =
        FormWindow(QStringLiteral("Small controls"), {{QStringLiteral("Import folder"), folder},
                                                      {QStringLiteral("Speed buttons"), buttons},
                                                      {QString(), group},
                                                      {QStringLiteral("Web site"), link}});
    window->show();
    return {QStringLiteral("small-controls"), window};
}

// A chart of two series over four quarters, with an average line.
TChartFX* QuarterChart(TChartGallery gallery, const QString& title) {
    auto* chart = new TChartFX;
    TChartModel& model = chart->Model();
    model.SetChartType(static_cast<int>(gallery));
    const double values[2][4] = {{12500.0, 18200.0, 15100.0, 21400.0}, {9800.0, 11300.0, 13900.0, 12700.0}};
    model.OpenData(TChartDataKind::Values, 2, 4);
    for (model.ThisSerie = 0; model.ThisSerie < 2; ++model.ThisSerie)
        for (int point = 0; point < 4; ++point)
            model.SetValue(point, values[model.ThisSerie][point]);
    model.ThisSerie = 0;
    model.CloseData(TChartDataKind::Values);
    model.OpenData(TChartDataKind::ConstantLines, 1);
    model.SetConstantValue(0, 14362.5);
    model.CloseData(TChartDataKind::ConstantLines);
    model.SetTitle(2, title);
    model.SetTitle(0, QStringLiteral("Amount"));
    model.SetTitle(3, QStringLiteral("Quarter"));
    for (int point = 0; point < 4; ++point)
        model.SetLegend(point, QStringLiteral("Q%1").arg(point + 1));
    model.SetSeriesLegend(0, QStringLiteral("Income"));
    model.SetSeriesLegend(1, QStringLiteral("Expenses"));
    model.SetConstantLegend(0, QStringLiteral("Average income"));
    chart->Refresh();
    chart->resize(560, 380);
    return chart;
}

// Prints the chart on one page of a PDF file beside the pictures.
bool PrintChart(TChartFX& chart, const QString& path) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    chart.PaintToDC(painter, printer.pageLayout().paintRectPixels(printer.resolution()));
    return painter.end();
}

// A graph shown as a window and printed to "<name>.pdf", as the graphs window prints it.
TGalleryShot GraphShot(TChartGallery gallery, const QString& name) {
    TChartFX* chart = QuarterChart(gallery, QStringLiteral("Income and expenses by quarter"));
    chart->show();
    const QString pdf = QDir(ShotFolder).filePath(name + QStringLiteral(".pdf"));
    if (PrintChart(*chart, pdf) && QFileInfo(pdf).size() > 0)
        QTextStream(stdout) << pdf << "\n";
    else
        ++PrintFailures;
    return {name, chart};
}

TGalleryShot BarGraphShot() {
    return GraphShot(TChartGallery::Bar, QStringLiteral("bar-graph"));
}

TGalleryShot LineGraphShot() {
    return GraphShot(TChartGallery::Line, QStringLiteral("line-graph"));
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("gallery-shots");
    ShotFolder = folder;
    if (!QDir().mkpath(folder)) {
        QTextStream(stderr) << "Cannot create " << folder << "\n";
        return 1;
    }
    const std::vector<std::function<TGalleryShot()>> makers = {
        NumberEditShot,    DateEditShot,  CalendarDialogShot, MonthCalendarShot, CalculatorShot, GridShot,
        SmallControlsShot, ComboEditShot, ProgressBarShot,    BarGraphShot,      LineGraphShot};
    int failures = 0;
    QTextStream out(stdout);
    for (const auto& make : makers) {
        TGalleryShot shot = make();
        QTest::qWait(50);
        const QImage image = shot.Compose();
        const QString path = QDir(folder).filePath(shot.Name() + QStringLiteral(".png"));
        if (!TGalleryShot::HasContent(image) || !image.save(path)) {
            QTextStream(stderr) << "No picture of " << shot.Name() << "\n";
            ++failures;
        } else {
            out << path << "\n";
        }
    }
    QList<QPointer<QWidget>> windows;
    for (QWidget* window : QApplication::topLevelWidgets())
        windows.append(window);
    for (const QPointer<QWidget>& window : windows)
        delete window.data();
    return failures == 0 && PrintFailures == 0 ? 0 : 1;
}
