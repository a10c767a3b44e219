#pragma once

#include "platform/instance/InstanceGuard.h"

#include <QObject>
#include <QString>

class QLocalServer;

// One running copy per user and desktop login: the first copy listens on a local socket in the
// login's runtime folder; a later copy finds it there, sends "activate" and waits for the answer
// that the running copy came forward. A socket left behind by a copy that crashed refuses the
// connection and is cleared, so it never stops the next start. A copy that accepts but does not
// answer (hung, or still starting with no window to bring forward) is reported as such.
class TSingleInstance : public QObject, public IInstanceGuard {
    Q_OBJECT
public:
    static constexpr int DefaultAnswerWaitMs = 3000;

    // The name defaults to the socket "Quilvane" in the login's runtime folder.
    explicit TSingleInstance(QString name = DefaultName(), QObject* parent = nullptr);
    ~TSingleInstance() override;

    // The socket path of this login: "Quilvane" in $XDG_RUNTIME_DIR when that is an absolute
    // folder of this user; otherwise a name in the temporary folder made of the user's id and
    // the display, so other logins of the same user do not share it.
    static QString DefaultName();
    // The folder of the login's own files, or empty when the environment names none that is
    // usable (not set, relative, missing, or someone else's).
    static QString RuntimeFolder();
    static QByteArray ActivateRequest() { return QByteArrayLiteral("activate"); }
    static QByteArray CameForwardAnswer() { return QByteArrayLiteral("activated"); }
    static QByteArray NotReadyAnswer() { return QByteArrayLiteral("not-ready"); }

    TInstanceClaim Claim() override;
    bool Listening() const;
    const QString& Name() const { return ServerName; }
    // How long a starting copy waits for the running one to answer.
    void SetAnswerWaitMs(int milliseconds) { AnswerWaitMs = milliseconds; }

signals:
    // Another copy asked this one to come to the front. Until something is connected here the
    // running copy answers that it cannot come forward.
    void ActivateRequested();

private:
    enum class TAsked { NoCopy, CameForward, NoAnswer };

    bool Listen();
    TAsked AskRunningCopy();
    void AcceptConnections();

    QString ServerName;
    QLocalServer* Server = nullptr;
    int AnswerWaitMs = DefaultAnswerWaitMs;
};
