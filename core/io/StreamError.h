#pragma once

#include "core/common/Exceptions.h"

// A value stream that cannot be read or written. The texts are fixed: "Invalid property value"
// for a value of the wrong kind, "Stream read error" for a stream that ends too soon or claims
// more bytes than it holds, "Stream write error" for a device that refused the bytes.
class EStreamError : public EQuilvaneError {
public:
    using EQuilvaneError::EQuilvaneError;

    static EStreamError InvalidValue() { return EStreamError(QStringLiteral("Invalid property value")); }
    static EStreamError ReadError() { return EStreamError(QStringLiteral("Stream read error")); }
    static EStreamError WriteError() { return EStreamError(QStringLiteral("Stream write error")); }
};
