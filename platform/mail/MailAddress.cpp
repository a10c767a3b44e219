#include "platform/mail/MailAddress.h"

#include <QStringList>

namespace MailAddress {

namespace {

constexpr qsizetype MaxAddress = 254;
constexpr qsizetype MaxLocalPart = 64;
constexpr qsizetype MaxLabel = 63;

bool IsAsciiLetterOrDigit(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9');
}

bool IsPlainLocalPart(const QString& local) {
    if (local.isEmpty() || local.size() > MaxLocalPart || local.startsWith(u'.') || local.startsWith(u'-') ||
        local.endsWith(u'.') || local.contains(QStringLiteral("..")))
        return false;
    for (const QChar c : local)
        if (!IsAsciiLetterOrDigit(c) && c != u'.' && c != u'_' && c != u'+' && c != u'-')
            return false;
    return true;
}

bool IsPlainDomain(const QString& domain) {
    if (domain.isEmpty())
        return false;
    const QStringList labels = domain.split(u'.');
    for (const QString& label : labels) {
        if (label.isEmpty() || label.size() > MaxLabel || label.startsWith(u'-') || label.endsWith(u'-'))
            return false;
        for (const QChar c : label)
            if (!IsAsciiLetterOrDigit(c) && c != u'-')
                return false;
    }
    return true;
}

} // namespace

bool IsPlain(const QString& address) {
    if (address.size() > MaxAddress || address.count(u'@') != 1)
        return false;
    const qsizetype at = address.indexOf(u'@');
    return IsPlainLocalPart(address.left(at)) && IsPlainDomain(address.mid(at + 1));
}

} // namespace MailAddress
