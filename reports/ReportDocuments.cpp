#include "reports/ReportDocuments.h"

int TReportDocuments::Add(const QString& title, const TEntityInfo* owner, const QStringList& lines) {
    Documents.push_back({title, owner, lines});
    CurrentIndex = Count() - 1;
    return CurrentIndex;
}

int TReportDocuments::AppendLine(const QString& line) {
    if (CurrentIndex < 0)
        Add(QStringLiteral("Log"), nullptr);
    Documents[static_cast<std::size_t>(CurrentIndex)].Lines << line;
    return CurrentIndex;
}

std::vector<int> TReportDocuments::Detach(const TEntityInfo* owner) {
    std::vector<int> removed;
    if (owner == nullptr)
        return removed;
    for (int index = Count() - 1; index >= 0; --index) {
        if (Documents[static_cast<std::size_t>(index)].Owner != owner)
            continue;
        Documents.erase(Documents.begin() + index);
        removed.push_back(index);
        if (index < CurrentIndex)
            --CurrentIndex;
        else if (index == CurrentIndex)
            CurrentIndex = -2; // decided below, once every document of the file is gone
    }
    if (CurrentIndex == -2 || CurrentIndex >= Count())
        CurrentIndex = Count() - 1;
    return removed;
}

void TReportDocuments::SetCurrent(int index) {
    if (index >= 0 && index < Count())
        CurrentIndex = index;
}
