#pragma once

#include "reports/ReportListings.h"

#include <QString>
#include <QStringList>

#include <vector>

class TEntityInfo;

// The documents of the report window, without the window: one text document per report, each
// belonging to the open file it was made for (or to none), and the current one, into which
// processes append their lines. A document keeps the lines of its report that lead to a
// transaction.
class TReportDocuments {
public:
    struct TDocument {
        QString Title;
        const TEntityInfo* Owner = nullptr;
        QStringList Lines;
        std::vector<TReportLineTarget> Targets; // in line order
    };

    // Adds a document and makes it current; its index. Targets of lines the document does not
    // hold are dropped.
    int Add(const QString& title, const TEntityInfo* owner, const QStringList& lines = {},
            std::vector<TReportLineTarget> targets = {});
    // Appends a line to the current document; with none, a "Log" document of no file is made.
    // The index of the document written to.
    int AppendLine(const QString& line);
    // Removes every document of the file (nothing for no file: the process logs stay). The current document
    // stays current when it stays, else the last document left becomes current. The indexes removed, highest
    // first.
    std::vector<int> Detach(const TEntityInfo* owner);
    // Makes a document current; an index outside the list is ignored.
    void SetCurrent(int index);
    int Count() const { return static_cast<int>(Documents.size()); }
    int Current() const { return CurrentIndex; }
    const TDocument& Document(int index) const { return Documents.at(static_cast<std::size_t>(index)); }
    // The target of a line of a document; nullptr when the line leads nowhere, when the document
    // belongs to no file, or when either index lies outside.
    const TReportLineTarget* Target(int index, int line) const;

private:
    std::vector<TDocument> Documents;
    int CurrentIndex = -1;
};
