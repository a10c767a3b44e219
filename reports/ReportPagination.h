#pragma once

#include <QRect>
#include <QSize>

// Where the lines of a printed report go: pages of the printable size (the page less its
// margins), each headed by a line for the title and page number and a blank line under it, then
// as many lines as fit whole. Every rectangle lies wholly inside the printable area, so no line
// is cut at the bottom of a page. A page too low for the header and a line drops the blank line,
// then the header, before it drops a line of the report.
class TReportPagination {
public:
    // lineHeight: the height a line takes (its font's ascent and descent, the leading when there
    // is one); at least 1.
    TReportPagination(QSize printable, int lineHeight);

    int LineHeight() const { return Height; }
    int LinesPerPage() const { return BodyLines; }
    bool HasHeader() const { return Header; }
    // The pages that lines take; one page for no lines (it still carries the header).
    int PageCount(qsizetype lines) const;
    int PageOf(qsizetype line) const;
    // The header's rectangle on every page (empty when there is no room for one).
    QRect HeaderRect() const;
    // A line's rectangle on its page.
    QRect LineRect(qsizetype line) const;

private:
    QSize Printable;
    int Height;
    int BodyLines = 1;
    int FirstLineTop = 0;
    bool Header = false;
};
