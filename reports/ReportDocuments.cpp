#include "reports/ReportDocuments.h"

#include <algorithm>

int TReportDocuments::Add(const QString& title, const TEntityInfo* owner, const QStringList& lines,
                          std::vector<TReportLineTarget> targets) {
    std::erase_if(targets, [&lines](const TReportLineTarget& target) {
        return target.Line < 0 || target.Line >= lines.size();
    });
    std::stable_sort(targets.begin(), targets.end(),
                     [](const TReportLineTarget& a, const TReportLineTarget& b) { return a.Line < b.Line; });
    Documents.push_back({title, owner, lines, std::move(targets)});
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

const TReportLineTarget* TReportDocuments::Target(int index, int line) const {
    if (index < 0 || index >= Count())
        return nullptr;
    const TDocument& document = Documents[static_cast<std::size_t>(index)];
    if (!document.Owner)
        return nullptr;
    const auto found =
        std::lower_bound(document.Targets.begin(), document.Targets.end(), line,
                         [](const TReportLineTarget& target, int wanted) { return target.Line < wanted; });
    return found != document.Targets.end() && found->Line == line ? &*found : nullptr;
}
