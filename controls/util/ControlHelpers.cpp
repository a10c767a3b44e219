#include "controls/util/ControlHelpers.h"

#include "controls/util/SlotGuard.h"
#include "core/services/Services.h"
#include "core/util/TextLayout.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

void SetControlColour(QWidget* control, bool enabled) {
    if (control == nullptr)
        return;
    if (qobject_cast<QLineEdit*>(control) == nullptr && qobject_cast<QComboBox*>(control) == nullptr)
        return;
    const QPalette system = QApplication::palette();
    const QColor colour = enabled ? system.color(QPalette::Active, QPalette::Base)
                                  : system.color(QPalette::Inactive, QPalette::Window);
    QPalette palette = control->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, colour);
    control->setPalette(palette);
}

void SetControlsColour(QWidget* container, bool enabled) {
    if (container == nullptr)
        return;
    for (QWidget* child : container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        SetControlColour(child, enabled);
}

bool ValidateNotBlank(const QString& text, const QString& fieldName, QWidget* control) {
    if (!text.trimmed().isEmpty())
        return true;
    TServices::Prompt().ShowMessage(TMessageKind::Warning,
                                    QStringLiteral("%1 cannot be blank").arg(fieldName), TMessageButton::OK);
    if (control != nullptr)
        control->setFocus(Qt::OtherFocusReason);
    return false;
}

bool GridNavigationKey(QTableView* grid, int& key) {
    if (grid == nullptr || grid->model() == nullptr)
        return false;
    if (key != Qt::Key_PageUp && key != Qt::Key_PageDown && key != Qt::Key_Up && key != Qt::Key_Down)
        return false;
    const int rowCount = grid->model()->rowCount(grid->rootIndex());
    if (rowCount > 0) {
        const QModelIndex current = grid->currentIndex();
        const int row = current.isValid() ? current.row() : 0;
        const int column = current.isValid() ? current.column() : 0;
        const int rowHeight = qMax(1, grid->verticalHeader()->defaultSectionSize());
        const int page = qMax(1, grid->viewport()->height() / rowHeight);
        int target = row;
        switch (key) {
        case Qt::Key_PageUp:
            target = row - page;
            break;
        case Qt::Key_PageDown:
            target = row + page;
            break;
        case Qt::Key_Up:
            target = row - 1;
            break;
        default:
            target = row + 1;
            break;
        }
        target = qBound(0, target, rowCount - 1);
        grid->setCurrentIndex(grid->model()->index(target, column, grid->rootIndex()));
    }
    key = 0;
    return true;
}

void TruncateTextToWidth(const QFontMetrics& metrics, QString& text, int maxWidth) {
    TruncateTextToWidth([&metrics](const QString& t) { return metrics.horizontalAdvance(t); }, text,
                        maxWidth);
}

void ConnectOKCancelHelp(QDialog* dialog, const TDialogButtons& buttons, int helpContext) {
    QObject::connect(buttons.Box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons.Box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    QObject::connect(buttons.Box, &QDialogButtonBox::helpRequested, dialog, [helpContext] {
        GuardSlot([helpContext] { TServices::Help().ShowContext(helpContext); });
    });
}

TWizardButtons MakeWizardButtons(QWidget* parent) {
    TWizardButtons buttons;
    const auto make = [parent](const char* caption, const char* name) {
        auto* button = new QPushButton(QString::fromLatin1(caption), parent);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
        return button;
    };
    buttons.Help = make("&Help", "btnHelp");
    buttons.Back = make("< &Back", "btnBack");
    buttons.Next = make("&Next >", "btnNext");
    buttons.OK = make("OK", "btnOK");
    buttons.Cancel = make("Cancel", "btnCancel");
    buttons.Row = new QHBoxLayout;
    buttons.Row->addWidget(buttons.Help);
    buttons.Row->addStretch(1);
    for (QPushButton* button : {buttons.Back, buttons.Next, buttons.OK, buttons.Cancel})
        buttons.Row->addWidget(button);
    return buttons;
}

TDialogButtons MakeOKCancelHelp(QWidget* parent) {
    TDialogButtons buttons;
    buttons.Box = new QDialogButtonBox(parent);
    buttons.OK = buttons.Box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons.Cancel = buttons.Box->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    buttons.Help = buttons.Box->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
    buttons.OK->setObjectName(QStringLiteral("btnOK"));
    buttons.Cancel->setObjectName(QStringLiteral("btnCancel"));
    buttons.Help->setObjectName(QStringLiteral("btnHelp"));
    buttons.OK->setDefault(true);
    return buttons;
}
