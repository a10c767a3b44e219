#include "tests/support/RecordingProgress.h"

#include "core/common/Exceptions.h"

namespace {

class TRecordingProgress : public IProgress {
public:
    explicit TRecordingProgress(TRecordingProgressFactory& owner) : Owner(owner) {
        ++Owner.Created;
        ++Owner.Open;
    }
    ~TRecordingProgress() override {
        --Owner.Open;
        Owner.Log.append(QStringLiteral("close"));
    }
    void Setup(const QString& caption, int kind, const QString& detail, bool, bool) override {
        IsCancelled = false;
        Owner.Log.append(QStringLiteral("setup:%1|%2|%3").arg(caption, QString::number(kind), detail));
    }
    void SetPosition(double percent) override {
        Owner.Positions.append(percent);
        Owner.Log.append(QStringLiteral("position:%1").arg(percent));
        Tick();
    }
    void SetMessage(int kind, const QString& detail) override {
        Owner.Log.append(QStringLiteral("message:%1|%2").arg(QString::number(kind), detail));
        Tick();
    }
    bool Cancelled() const override { return IsCancelled; }

private:
    void Tick() {
        ++Owner.Updates;
        if (Owner.CancelAtUpdate >= 0 && Owner.Updates == Owner.CancelAtUpdate) {
            IsCancelled = true;
            throw EOperationCancelled();
        }
    }
    TRecordingProgressFactory& Owner;
    bool IsCancelled = false;
};

} // namespace

std::unique_ptr<IProgress> TRecordingProgressFactory::CreateProgress() {
    return std::make_unique<TRecordingProgress>(*this);
}
