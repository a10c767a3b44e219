#pragma once

#include "core/io/StreamError.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// A picture file that does not hold what its sizes and counts say. The message names the fault.
class EPictureError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

namespace IconFile {

// Checks the directory of an icon (or cursor) file against its bytes: reserved word 0, type 1 or 2,
// at least one image, the directory inside the data and every image's bytes inside the data
// after the directory. Raises EPictureError naming the fault, prefixed by what.
void Check(const QByteArray& bytes, const QString& what);

// The largest image of a checked icon file, decoded by the image plugins; raises EPictureError
// when the plugin cannot read it.
QImage Decode(const QByteArray& bytes, const QString& what);

} // namespace IconFile
