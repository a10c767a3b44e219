#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <Qt>

// How a link label looks: horizontal alignment, caption, background (invalid: none), font and
// font colour, and vertical layout.
struct TLabelLook {
    Qt::Alignment Alignment = Qt::AlignLeft;
    QString Caption;
    QColor Color;
    QFont Font;
    QColor FontColor;
    Qt::Alignment Layout = Qt::AlignTop;
};

// The hover appearance of a link label: entering saves the normal look and gives the hover one;
// leaving gives the saved look back. A leave without an enter, or an enter while hovered, keeps
// the saved look.
class THoverLook {
public:
    // The look to show on entering, given the look shown now and the hover look.
    TLabelLook Enter(const TLabelLook& current, const TLabelLook& hover);
    // The look to show on leaving (current when the label was not hovered).
    TLabelLook Leave(const TLabelLook& current);
    bool Hovered() const { return IsHovered; }

private:
    TLabelLook Saved;
    bool IsHovered = false;
};
