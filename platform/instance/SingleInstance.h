#pragma once

#include "platform/instance/InstanceGuard.h"

#include <QObject>
#include <QString>

class QLocalServer;

// One running copy per user: the first copy listens on a local socket of a per-user name; a
// later copy finds it there, sends "activate" and ends. A socket left behind by a copy that
// crashed answers nobody and is cleared, so it never stops the next start.
class TSingleInstance : public QObject, public IInstanceGuard {
    Q_OBJECT
public:
    // The name defaults to "Quilvane" followed by the user's id.
    explicit TSingleInstance(QString name = DefaultName(), QObject* parent = nullptr);
    ~TSingleInstance() override;

    static QString DefaultName();
    static QByteArray ActivateRequest() { return QByteArrayLiteral("activate"); }

    bool Claim() override;
    bool Listening() const;
    const QString& Name() const { return ServerName; }

signals:
    // Another copy asked this one to come to the front.
    void ActivateRequested();

private:
    bool Listen();
    bool AskRunningCopy();
    void AcceptConnections();

    QString ServerName;
    QLocalServer* Server = nullptr;
};
