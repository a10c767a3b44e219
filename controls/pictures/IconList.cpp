#include "controls/pictures/IconList.h"

#include <QtEndian>

namespace {

[[noreturn]] void Fail(const QString& fault) {
    throw EPictureError(QStringLiteral("Icon list: %1").arg(fault));
}

void CheckIcon(const QByteArray& icon, qsizetype index) {
    if (!icon.isEmpty())
        IconFile::Check(icon, QStringLiteral("Icon list entry %1").arg(index + 1));
}

void AppendInt32(QByteArray& data, qint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    data.append(bytes, 4);
}

} // namespace

QImage TIconList::Image(qsizetype index) const {
    const QByteArray& icon = Icons.at(index);
    return icon.isEmpty() ? QImage()
                          : IconFile::Decode(icon, QStringLiteral("Icon list entry %1").arg(index + 1));
}

void TIconList::Add(const QByteArray& icon) {
    Insert(Icons.size(), icon);
}

void TIconList::Insert(qsizetype index, const QByteArray& icon) {
    CheckIcon(icon, index);
    Icons.insert(index, icon);
    Changed();
}

void TIconList::Delete(qsizetype index) {
    Icons.removeAt(index);
    Changed();
}

void TIconList::Clear() {
    Icons.clear();
    Changed();
}

void TIconList::SetIcons(const QList<QByteArray>& icons) {
    for (qsizetype i = 0; i < icons.size(); ++i)
        CheckIcon(icons[i], i);
    Icons = icons;
    Changed();
}

void TIconList::ReadData(const QByteArray& data) {
    qsizetype at = 0;
    const auto takeInt32 = [&](const char* what) {
        if (data.size() - at < 4)
            Fail(QStringLiteral("the %1 at offset %2 is cut short").arg(QLatin1String(what)).arg(at));
        const qint32 value = qFromLittleEndian<qint32>(data.constData() + at);
        at += 4;
        return value;
    };
    const qint32 count = takeInt32("count");
    // Every entry takes at least its size word.
    if (count < 0 || count > (data.size() - at) / 4)
        Fail(QStringLiteral("a count of %1 does not fit the %2 bytes that follow")
                 .arg(count)
                 .arg(data.size() - at));
    QList<QByteArray> icons;
    icons.reserve(count);
    for (qint32 i = 0; i < count; ++i) {
        const qint32 size = takeInt32("size");
        if (size < 0 || size > data.size() - at)
            Fail(QStringLiteral("entry %1 claims %2 bytes where %3 remain")
                     .arg(i + 1)
                     .arg(size)
                     .arg(data.size() - at));
        icons.append(data.mid(at, size));
        CheckIcon(icons.back(), i);
        at += size;
    }
    if (at != data.size())
        Fail(QStringLiteral("%1 bytes follow the last entry").arg(data.size() - at));
    Icons = std::move(icons);
    Changed();
}

QByteArray TIconList::WriteData() const {
    QByteArray data;
    AppendInt32(data, qint32(Icons.size()));
    for (const QByteArray& icon : Icons) {
        AppendInt32(data, qint32(icon.size()));
        data.append(icon);
    }
    return data;
}

void TIconList::Changed() {
    if (OnChange)
        OnChange();
}
