#pragma once

#include <QStringList>

namespace PictureFormats {

// The picture formats the program reads through the image plugins: "gif", "ico" and "jpeg".
QStringList Required();
// Those of them that no installed image plugin reads; empty when all are there.
QStringList Missing();

} // namespace PictureFormats
