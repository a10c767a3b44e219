#include "core/services/SystemIdentity.h"

#include <QSysInfo>
#include <QtGlobal>

#include <pwd.h>
#include <unistd.h>

QString TSystemIdentity::ComputerName() const {
    return QSysInfo::machineHostName().toUpper();
}

QString TSystemIdentity::LogonName() const {
    QString name = qEnvironmentVariable("USER");
    if (!name.isEmpty())
        return name;
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_name != nullptr)
        return QString::fromLocal8Bit(entry->pw_name);
    return QString();
}
