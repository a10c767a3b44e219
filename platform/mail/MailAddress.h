#pragma once

#include <QString>

// E-mail addresses that the program hands to the desktop's mail program. The mail program reads
// its recipient as part of a "mailto:" link, where a scheme, '?', '&', a comma or a semicolon
// would add recipients, headers or text of the sender's choosing, so only a plain address is
// handed on.
namespace MailAddress {

// True for a plain address "local@domain" and nothing else: the local part of ASCII letters,
// digits and ". _ + -" (not starting with '.' or '-', not ending with '.', no ".."), at most 64
// characters; the domain of dot-separated labels of ASCII letters, digits and '-' (1 to 63
// characters each, no label starting or ending with '-'); at most 254 characters in all.
bool IsPlain(const QString& address);

} // namespace MailAddress
