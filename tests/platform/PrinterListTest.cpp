#include "platform/printing/PrinterList.h"

#include <gtest/gtest.h>

TEST(PrinterListTest, PdfPrinterIsAlwaysThereSoADefaultExists) {
    TPrinterList printers;
    const QStringList names = printers.Printers();
    ASSERT_FALSE(names.isEmpty());
    EXPECT_EQ(names.last(), TPrinterList::PdfPrinterName());
    EXPECT_EQ(names.count(TPrinterList::PdfPrinterName()), 1);
    const int defaultIndex = printers.DefaultPrinterIndex();
    EXPECT_GE(defaultIndex, 0);
    EXPECT_LT(defaultIndex, names.size());
}
