#include "reports/ReportPagination.h"

#include <algorithm>

TReportPagination::TReportPagination(QSize printable, int lineHeight)
    : Printable(printable.expandedTo(QSize(1, 1))), Height(std::max(1, lineHeight)) {
    const int rows = Printable.height() / Height;
    if (rows >= 3) {
        Header = true;
        FirstLineTop = 2 * Height;
        BodyLines = rows - 2;
    } else if (rows == 2) {
        Header = true;
        FirstLineTop = Height;
        BodyLines = 1;
    } else {
        // Not even two lines high: one line a page, and it can only be cut.
        BodyLines = 1;
    }
}

int TReportPagination::PageCount(qsizetype lines) const {
    return static_cast<int>(std::max<qsizetype>(1, (lines + BodyLines - 1) / BodyLines));
}

int TReportPagination::PageOf(qsizetype line) const {
    return static_cast<int>(std::max<qsizetype>(0, line) / BodyLines);
}

QRect TReportPagination::HeaderRect() const {
    return Header ? QRect(0, 0, Printable.width(), Height) : QRect();
}

QRect TReportPagination::LineRect(qsizetype line) const {
    const int row = static_cast<int>(std::max<qsizetype>(0, line) % BodyLines);
    return QRect(0, FirstLineTop + row * Height, Printable.width(), Height);
}
