#pragma once

#include <QComboBox>
#include <QString>

#include <functional>

class QAction;
class QMenu;
class TDesktop;

// The toolbar's Active File box: one item per open file, its year caption drawn on one line and
// cut short with an ellipsis; the current item is the active file.
class TActiveFileCombo : public QComboBox {
public:
    explicit TActiveFileCombo(QWidget* parent = nullptr);

    // Rebuilds the items from the desktop, keeping its active file, without signalling a choice.
    void Refresh(const TDesktop& desktop);
};

// Replaces the File menu items between the separator entityListBreak and exitAction with the
// recently-used files (the code in each action's data), then a separator; choosing one calls
// onChosen with its code.
void RebuildRecentFilesMenu(QMenu& fileMenu, QAction* entityListBreak, QAction* exitAction,
                            const TDesktop& desktop, const std::function<void(const QString&)>& onChosen);
