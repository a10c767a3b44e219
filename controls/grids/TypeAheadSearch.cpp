#include "controls/grids/TypeAheadSearch.h"

TTypeAheadSearch::TStep TTypeAheadSearch::Key(QChar key) {
    IsRunning = true;
    IdleTicks = 0;
    if (key == QLatin1Char('\b'))
        SearchText.chop(1);
    else if (key.unicode() < 32 || key.unicode() == 0x7F)
        return TStep::Pass;
    else
        SearchText.append(key);
    if (!SearchText.isEmpty())
        return TStep::Search;
    End();
    return TStep::Ended;
}

bool TTypeAheadSearch::Tick() {
    if (!IsRunning)
        return false;
    if (++IdleTicks <= SearchTimerInterval)
        return false;
    End();
    return true;
}

void TTypeAheadSearch::End() {
    SearchText.clear();
    IdleTicks = 0;
    IsRunning = false;
}

int TTypeAheadSearch::FindFirst(const QStringList& texts, const QString& prefix) {
    if (prefix.isEmpty())
        return -1;
    for (qsizetype i = 0; i < texts.size(); ++i)
        if (texts[i].startsWith(prefix, Qt::CaseInsensitive))
            return int(i);
    return -1;
}
