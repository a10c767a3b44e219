#include "shell/main/QuilvaneMain.h"

#include "core/vocab/ProgramIdentity.h"

#include "core/vocab/WindowKinds.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QWindow>

namespace {

// The window class that shows a kind; empty for an unknown kind or one without a class.
QStringView ClassOfKind(int kind) {
    return IsWindowKind(kind) ? WindowKindEntry(kind).WindowClass : QStringView();
}

} // namespace

TfmQuilvaneMain::TfmQuilvaneMain(const QString& userName, QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("fmQuilvaneMain"));
    setWindowTitle(MainWindowTitle.toString());
    resize(1024, 700);

    Mdi = new QMdiArea(this);
    Mdi->setObjectName(QStringLiteral("MdiArea"));
    setCentralWidget(Mdi);

    HintPanel = new QLabel(this);
    UserPanel = new QLabel(QStringLiteral(" User: %1").arg(userName), this);
    statusBar()->addWidget(HintPanel, 1);
    statusBar()->addPermanentWidget(UserPanel);
    ShowHint(QString());
}

QMdiSubWindow* TfmQuilvaneMain::AddChildWindow(QWidget* child, int kind) {
    child->setProperty(WindowKindProperty, kind);
    QMdiSubWindow* window = Mdi->addSubWindow(child);
    window->setProperty(WindowKindProperty, kind);
    return window;
}

int TfmQuilvaneMain::FindMDIChildOfKind(int kind) const {
    const QStringView wanted = ClassOfKind(kind);
    if (wanted.isEmpty())
        return -1;
    const QList<QMdiSubWindow*> children = Mdi->subWindowList(QMdiArea::CreationOrder);
    for (int i = 0; i < children.size(); ++i) {
        bool ok = false;
        const int childKind = children[i]->property(WindowKindProperty).toInt(&ok);
        if (ok && ClassOfKind(childKind) == wanted)
            return i;
    }
    return -1;
}

void TfmQuilvaneMain::ActivateFromOtherInstance() {
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
    if (!isVisible())
        show();
    raise();
    activateWindow();
    // The window manager may refuse to hand over the focus; asking is all a program can do.
    if (QWindow* handle = windowHandle())
        handle->requestActivate();
}

void TfmQuilvaneMain::ShowHint(const QString& hint) {
    HintPanel->setText(hint.isEmpty() ? QStringLiteral(" Ready.") : QStringLiteral(" ") + hint);
}

QString TfmQuilvaneMain::StatusHint() const {
    return HintPanel->text();
}

QString TfmQuilvaneMain::StatusUser() const {
    return UserPanel->text();
}
