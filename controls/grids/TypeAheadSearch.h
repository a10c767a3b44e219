#pragma once

#include <QString>
#include <QStringList>

// Finding a row by typing the start of its first column. Each typed character extends the search
// text (Backspace shortens it); the search ends when the text becomes empty or when more than
// SearchTimerInterval ticks of 100 ms pass without a key. The owner calls Tick() from its timer,
// which keeps the timing deterministic under test.
class TTypeAheadSearch {
public:
    // What a typed character asks of the owner.
    enum class TStep {
        Pass,   // a control character other than Backspace: the owner's normal key handling
        Search, // the text is not empty: look for the first row starting with Text()
        Ended,  // the text became empty: the search is over
    };

    static constexpr int TickMilliseconds = 100;
    int SearchTimerInterval = 5;

    TStep Key(QChar key);
    // One timer tick without a key; true when this tick ended the search.
    bool Tick();
    void End();

    // Whether the owner's timer should be running.
    bool Running() const { return IsRunning; }
    const QString& Text() const { return SearchText; }

    // The first of the texts that starts with prefix, compared without regard to case; -1 when
    // none does or the prefix is empty.
    static int FindFirst(const QStringList& texts, const QString& prefix);

private:
    QString SearchText;
    int IdleTicks = 0;
    bool IsRunning = false;
};
