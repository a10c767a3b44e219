#pragma once

#include "core/io/ValueReader.h"
#include "core/io/ValueWriter.h"

#include <QBuffer>
#include <QByteArray>
#include <utility>

// One chart item read from, or written to, a value stream held in memory.

template <class TItem, class... TArgs> TItem ReadStoredItem(const QByteArray& bytes, TArgs&&... args) {
    QByteArray data = bytes;
    QBuffer device(&data);
    device.open(QIODevice::ReadOnly);
    TValueReader reader(device);
    TItem item;
    item.ReadFromStream(reader, std::forward<TArgs>(args)...);
    return item;
}

template <class TItem> QByteArray WriteStoredItem(const TItem& item) {
    QByteArray bytes;
    QBuffer device(&bytes);
    device.open(QIODevice::WriteOnly);
    TValueWriter writer(device);
    item.WriteToStream(writer);
    writer.Finish();
    return bytes;
}
