#include "shell/main/ProgramIcon.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

QPixmap DrawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal edge = size / 16.0;
    const QRectF page(edge, edge, size - 2 * edge, size - 2 * edge);
    painter.setPen(QPen(QColor(0x0b, 0x3d, 0x2e), qMax(1.0, edge / 2)));
    painter.setBrush(QColor(0x1f, 0x6f, 0x50));
    painter.drawRoundedRect(page, size / 8.0, size / 8.0);
    // The ruled lines of a ledger page.
    painter.setPen(QPen(QColor(0x7f, 0xb8, 0x9f), qMax(1.0, size / 40.0)));
    for (int line = 1; line <= 3; ++line) {
        const qreal y = page.top() + page.height() * (0.25 * line);
        painter.drawLine(QPointF(page.left() + 2 * edge, y), QPointF(page.right() - 2 * edge, y));
    }
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(qMax(8, static_cast<int>(size * 0.72)));
    painter.setFont(font);
    painter.setPen(QColor(0xf2, 0xc1, 0x4e));
    painter.drawText(page, Qt::AlignCenter, QStringLiteral("Q"));
    return pixmap;
}

} // namespace

QIcon ProgramIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(DrawIcon(size));
    return icon;
}
