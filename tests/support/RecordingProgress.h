#pragma once

#include "core/common/Exceptions.h"
#include "core/services/Progress.h"

#include <QList>
#include <QStringList>

// Progress windows for tests: every call is written to a shared log, and a window can be told
// to act as if Cancel was pressed at its n-th update.
class TRecordingProgressFactory : public IProgressFactory {
public:
    std::unique_ptr<IProgress> CreateProgress() override { return std::make_unique<TWindow>(*this); }

    QStringList Log; // "setup:<caption>|<kind>|<detail>", "position:<p>", "message:<kind>|<detail>", "close"
    QList<double> Positions; // every SetPosition value
    int CancelAtUpdate = -1; // update count (Setup excluded) at which to raise the cancel; -1 never
    int Created = 0;
    int Open = 0; // windows not yet destroyed
    int Updates = 0;

private:
    class TWindow : public IProgress {
    public:
        explicit TWindow(TRecordingProgressFactory& owner) : Owner(owner) { ++Owner.Created, ++Owner.Open; }
        ~TWindow() override { --Owner.Open, Owner.Log.append(QStringLiteral("close")); }
        void Setup(const QString& caption, int kind, const QString& detail, bool, bool) override {
            IsCancelled = false;
            Owner.Log.append(QStringLiteral("setup:%1|%2|%3").arg(caption, QString::number(kind), detail));
        }
        void SetPosition(double percent) override {
            Owner.Positions.append(percent);
            Tick(QStringLiteral("position:%1").arg(percent));
        }
        void SetMessage(int kind, const QString& detail) override {
            Tick(QStringLiteral("message:%1|%2").arg(QString::number(kind), detail));
        }
        bool Cancelled() const override { return IsCancelled; }

    private:
        void Tick(const QString& entry) {
            Owner.Log.append(entry);
            if (++Owner.Updates == Owner.CancelAtUpdate) {
                IsCancelled = true;
                throw EOperationCancelled();
            }
        }
        TRecordingProgressFactory& Owner;
        bool IsCancelled = false;
    };
};
