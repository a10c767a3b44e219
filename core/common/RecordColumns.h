#pragma once

#include <QChar>
#include <QList>
#include <QString>
#include <QVariant>

#include <functional>
#include <type_traits>

// How a record field shows in a grid of records. Integer, character, floating-point and text fields
// give cell text; other fields take a column but leave it empty.
enum class TColumnKind { Integer, Char, Float, String, Other };

// One column of a grid of records: the field's name (the title is made from it), its kind and how
// to read it from a record. A record class lists its columns once, in declaration order (fields
// of a base class first), as a static Columns() returning a TColumnList; the grid shows them in
// that order. Core's record classes stay plain classes.
struct TColumnDescriptor {
    QString Name;
    TColumnKind Kind = TColumnKind::Other;
    std::function<QVariant(const void* record)> Value;

    bool GivesText() const { return Kind != TColumnKind::Other; }
};
using TColumnList = QList<TColumnDescriptor>;

template <class TValue> constexpr TColumnKind ColumnKindOf() {
    if constexpr (std::is_same_v<TValue, QChar> || std::is_same_v<TValue, char>)
        return TColumnKind::Char;
    else if constexpr (std::is_same_v<TValue, bool>)
        return TColumnKind::Other;
    else if constexpr (std::is_integral_v<TValue>)
        return TColumnKind::Integer;
    else if constexpr (std::is_floating_point_v<TValue>)
        return TColumnKind::Float;
    else if constexpr (std::is_same_v<TValue, QString>)
        return TColumnKind::String;
    else
        return TColumnKind::Other;
}

// A column read from a TRecord by a data member pointer or any callable taking the record; the
// kind follows the value's type.
template <class TRecord, class TGetter> TColumnDescriptor RecordColumn(const QString& name, TGetter getter) {
    using TValue = std::decay_t<std::invoke_result_t<TGetter, const TRecord&>>;
    constexpr TColumnKind kind = ColumnKindOf<TValue>();
    return {name, kind, [getter](const void* record) -> QVariant {
                if constexpr (kind == TColumnKind::Other)
                    return {};
                else if constexpr (kind == TColumnKind::Char)
                    return QVariant(
                        QString(QChar(std::invoke(getter, *static_cast<const TRecord*>(record)))));
                else if constexpr (kind == TColumnKind::Integer)
                    return QVariant(qlonglong(std::invoke(getter, *static_cast<const TRecord*>(record))));
                else
                    return QVariant(std::invoke(getter, *static_cast<const TRecord*>(record)));
            }};
}
