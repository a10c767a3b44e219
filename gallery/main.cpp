// Shows each visible control of the program in a typical state and writes a picture of each into
// a folder (the first argument; "gallery-shots" when none). Exits with 1 when a picture could not
// be written or shows nothing. Run it under a display (xvfb-run) or the offscreen platform.

#include "controls/calculator/dxCalc.h"
#include "controls/calculator/fmCalculator.h"
#include "controls/numeric/NumberEdit.h"
#include "controls/progress/dxfProgressBar.h"
#include "controls/util/CustomComboEdit.h"
#include "gallery/GalleryShot.h"

#include <QApplication>
#include <QDir>
#include <QFormLayout>
#include <QPointer>
#include <QTest>
#include <QTextStream>
#include <functional>
#include <memory>
#include <vector>

namespace {

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

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("gallery-shots");
    if (!QDir().mkpath(folder)) {
        QTextStream(stderr) << "Cannot create " << folder << "\n";
        return 1;
    }
    const std::vector<std::function<TGalleryShot()>> makers = {NumberEditShot, ComboEditShot, ProgressBarShot,
                                                               CalculatorShot};
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
    return failures == 0 ? 0 : 1;
}
