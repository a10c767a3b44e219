#pragma once

#include "controls/pictures/IconFile.h"

#include <QByteArray>
#include <QImage>
#include <QList>

#include <functional>

// An ordered list of icons, each kept as the bytes of an icon file; an entry may be empty.
// Streamed as the property "Icons": a 32-bit count, then per entry a 32-bit size (0 for an
// empty entry) followed by that many bytes of the icon file, all little-endian.
class TIconList {
public:
    qsizetype Count() const { return Icons.size(); }
    const QByteArray& Icon(qsizetype index) const { return Icons.at(index); }
    // The icon's largest image; a null image for an empty entry.
    QImage Image(qsizetype index) const;

    // An icon file is checked before it is taken; an empty one makes an empty entry.
    void Add(const QByteArray& icon);
    void Insert(qsizetype index, const QByteArray& icon);
    void Delete(qsizetype index);
    void Clear();
    void SetIcons(const QList<QByteArray>& icons);

    // Called after every change.
    std::function<void()> OnChange;

    // The "Icons" data. Reading checks the count and every size against the bytes that remain
    // (negative or larger ones raise EPictureError before anything is allocated) and every icon's
    // directory; the list changes only when the whole data was read.
    void ReadData(const QByteArray& data);
    QByteArray WriteData() const;

private:
    void Changed();

    QList<QByteArray> Icons;
};
