#include "controls/util/WindowRoutines.h"
#include "core/common/Exceptions.h"
#include "core/common/RegionalSettings.h"
#include "tests/support/ServicesFixture.h"

#include <gtest/gtest.h>

namespace {

class WindowRoutinesTest : public TServicesFixture {};

TEST_F(WindowRoutinesTest, CenteredWindowStaysOnTheScreenWithItsTopLeftFirst) {
    const QRect screen(100, 50, 800, 600);
    // Window size, where it lands.
    const std::tuple<QSize, QPoint> cases[] = {
        {{200, 100}, {400, 300}}, // centred
        {{201, 101}, {399, 299}}, // odd sizes round towards the top-left
        {{800, 600}, {100, 50}},  // exactly the screen
        {{1000, 700}, {100, 50}}, // larger: the left and top edges win
        {{1000, 100}, {100, 300}}};
    for (const auto& [size, topLeft] : cases) {
        SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()));
        const QRect placed = CenteredWindowRect(QRect(QPoint(-40, 2000), size), screen);
        EXPECT_EQ(placed.topLeft(), topLeft);
        EXPECT_EQ(placed.size(), size);
    }
}

TEST_F(WindowRoutinesTest, MinimizedTextEndsWithThreeDots) {
    const auto measure = [](const QString& text) { return static_cast<int>(text.size()) * 3; };
    // Width, result for "Import Folder" (every character 3 units wide, "..." 9).
    const std::tuple<int, const char*> cases[] = {
        {39, "Import Folder"}, {38, "Import Fo..."}, {29, "Import..."}, {26, "Impor..."}, {12, "I..."},
        {11, "..."},           {1, "..."},           {0, "..."},        {-5, "..."}};
    for (const auto& [width, expected] : cases)
        EXPECT_EQ(MinimizeText("Import Folder", measure, width), expected) << width;
    EXPECT_EQ(MinimizeText("", measure, 0), "");
}

TEST_F(WindowRoutinesTest, NotImplementedTellsTheUserThenAbortsSilently) {
    Prompt->Answer(TMessageButton::OK);
    EXPECT_THROW(NotImplemented(), EAbort);
    EXPECT_EQ(Prompt->Texts(), QStringList{"Function not yet implemented"});
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Information});
}

TEST_F(WindowRoutinesTest, FourDigitYearFlagFollowsTheShortDateFormat) {
    EXPECT_TRUE(ShortDateHasFourDigitYear("dd/mm/yyyy") && ShortDateHasFourDigitYear("YYYY-MM-DD"));
    EXPECT_FALSE(ShortDateHasFourDigitYear("DD/MM/YY") || ShortDateHasFourDigitYear("YYY/MM"));
    EXPECT_FALSE(ShortDateHasFourDigitYear());
    TServices::Regional().ShortDateFormat = "D.M.yyyy";
    EXPECT_TRUE(ShortDateHasFourDigitYear());
}

} // namespace
