#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class TMultiSelectStringGrid;

// A multi-selection among texts, shown modally by the caller: File > Close chooses among the
// open files (mode 3, the Active File box's texts, flag 0).
class TfrmSelection : public QDialog {
    Q_OBJECT
public:
    static constexpr int OpenFilesMode = 3;

    explicit TfrmSelection(QWidget* parent = nullptr);

    // Lists the items and preselects the indexes in `selected` (indexes outside the items are
    // ignored). After OK, `selected` holds the chosen indexes in ascending order; after Cancel it
    // is left alone. `selected` must outlive the dialog's modal run. Mode 3 is the only mode.
    void Setup(int mode, const QStringList& items, int flag, QList<int>& selected);

    TMultiSelectStringGrid* Grid() const { return List; }

    void accept() override;

private:
    TMultiSelectStringGrid* List = nullptr;
    QList<int>* Selected = nullptr;
};
