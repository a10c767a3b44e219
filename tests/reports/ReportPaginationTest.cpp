#include "ReportsTestSupport.h"

#include "platform/printing/ProgramPrinter.h"
#include "reports/ReportPagination.h"
#include "reports/fmReports.h"

#include <QPageLayout>
#include <QPrinter>

namespace {

class ReportPaginationTest : public ReportsTest {};

TEST_F(ReportPaginationTest, EveryLineLiesWhollyOnItsPage) {
    const struct {
        QSize Printable;
        int LineHeight;
        int LinesPerPage;
        bool Header;
    } cases[] = {
        // Exactly three rows, and a row short of four: the header, a blank line and one line.
        {{100, 30}, 10, 1, true},
        {{100, 39}, 10, 1, true},
        {{100, 40}, 10, 2, true},
        {{100, 41}, 10, 2, true},
        // Two rows: no blank line under the header. One row or less: no header either.
        {{100, 20}, 10, 1, true},
        {{100, 19}, 10, 1, false},
        {{100, 10}, 10, 1, false},
        // A page of many rows, and one whose height is a row and a part short of a whole.
        {{500, 1000}, 12, 81, true},
        {{500, 1007}, 12, 81, true},
        {{500, 1008}, 12, 82, true},
        // A line height of nothing counts as one.
        {{50, 5}, 0, 3, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Printable.width() << "x" << c.Printable.height() << " by "
                                        << c.LineHeight);
        const TReportPagination pagination(c.Printable, c.LineHeight);
        EXPECT_EQ(pagination.LinesPerPage(), c.LinesPerPage);
        EXPECT_EQ(pagination.HasHeader(), c.Header);
        const QRect page(QPoint(0, 0), c.Printable);
        const QRect header = pagination.HeaderRect();
        EXPECT_EQ(header.isEmpty(), !c.Header);
        if (c.Header) {
            EXPECT_TRUE(page.contains(header));
            EXPECT_EQ(header.height(), pagination.LineHeight());
        }
        const qsizetype lines = 3 * c.LinesPerPage + 1;
        EXPECT_EQ(pagination.PageCount(lines), 4);
        for (qsizetype line = 0; line < lines; ++line) {
            const QRect rect = pagination.LineRect(line);
            EXPECT_TRUE(page.contains(rect)) << line;
            EXPECT_EQ(rect.height(), pagination.LineHeight());
            EXPECT_EQ(rect.width(), c.Printable.width());
            EXPECT_FALSE(rect.intersects(header)) << line;
            EXPECT_EQ(pagination.PageOf(line), line / c.LinesPerPage);
            // The next line on the same page starts where this one ends.
            if (line + 1 < lines && pagination.PageOf(line + 1) == pagination.PageOf(line)) {
                EXPECT_EQ(pagination.LineRect(line + 1).top(), rect.bottom() + 1) << line;
            }
        }
    }
}

TEST_F(ReportPaginationTest, NoLinesStillMakeAPageAndPageCountsRoundUp) {
    const TReportPagination pagination(QSize(100, 60), 10); // four lines a page
    ASSERT_EQ(pagination.LinesPerPage(), 4);
    const std::pair<qsizetype, int> cases[] = {{0, 1}, {1, 1}, {4, 1}, {5, 2}, {8, 2}, {9, 3}};
    for (const auto& [lines, pages] : cases)
        EXPECT_EQ(pagination.PageCount(lines), pages) << lines;
}

// The program's printer and the PDF files start with margins of at least 10 mm on every side, and
// a report printed on a small page takes as many pages as its pagination says.
TEST_F(ReportPaginationTest, PrintedPagesKeepTheMarginsAndEveryLine) {
    const auto checkMargins = [](const QPrinter& printer) {
        const QMarginsF margins = printer.pageLayout().margins(QPageLayout::Millimeter);
        for (const qreal side : {margins.left(), margins.top(), margins.right(), margins.bottom()})
            EXPECT_GE(side, DefaultPrintMarginMm - 0.01);
        EXPECT_FALSE(printer.fullPage());
    };
    checkMargins(ProgramPrinter());
    QPrinter pdf(QPrinter::HighResolution);
    TfmReports::PreparePdfPrinter(pdf, TempPath("margins.pdf"), "Title");
    checkMargins(pdf);
    EXPECT_EQ(pdf.outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(pdf.docName(), "Title");

    // A printer that was given smaller margins gets the default ones.
    QPrinter small(QPrinter::HighResolution);
    small.setOutputFormat(QPrinter::PdfFormat);
    small.setOutputFileName(TempPath("small.pdf"));
    small.setPageSize(QPageSize(QSizeF(60, 50), QPageSize::Millimeter));
    small.setPageMargins(QMarginsF(1, 1, 1, 1), QPageLayout::Millimeter);
    UseDefaultMargins(small);
    checkMargins(small);
    // The printable area is the page less its margins: 40 by 30 mm.
    const QRect printable = small.pageLayout().paintRectPixels(small.resolution());
    EXPECT_EQ(QSize(small.width(), small.height()), printable.size());
    EXPECT_NEAR(printable.width() * 25.4 / small.resolution(), 40.0, 0.5);

    QStringList lines;
    for (int i = 1; i <= 60; ++i)
        lines << QString("Line %1 of the ledger").arg(i);
    const int pages = TfmReports::PrintLines(small, "Ledger", lines);
    const QByteArray bytes = ReadFileBytes(TempPath("small.pdf"));
    EXPECT_EQ(bytes.count("/Type /Page\n"), pages);
    EXPECT_GT(pages, 3);
}

} // namespace
