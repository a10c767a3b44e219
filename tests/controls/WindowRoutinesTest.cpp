#include "controls/util/WindowRoutines.h"
#include "core/common/Exceptions.h"
#include "core/common/RegionalSettings.h"
#include "tests/support/ServicesFixture.h"

#include <QCoreApplication>
#include <QPointer>

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

// Counts the events of each kind that reach the objects it watches, and keeps quit events from
// the application.
class TEventCounter : public QObject {
public:
    QMap<std::pair<QObject*, int>, int> Counts;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() >= QEvent::User || event->type() == QEvent::Quit) {
            ++Counts[{watched, int(event->type())}];
            return true;
        }
        return false;
    }
};

const auto Second = QEvent::Type(QEvent::User + 1);

TEST_F(WindowRoutinesTest, KillMessageTakesThePendingEventsOfTheKindForTheWindow) {
    QObject window, other;
    TEventCounter counter;
    window.installEventFilter(&counter);
    other.installEventFilter(&counter);
    for (const auto& [receiver, type] : {std::pair{&window, QEvent::User},
                                         {&window, Second},
                                         {&window, QEvent::User},
                                         {&other, QEvent::User}})
        QCoreApplication::postEvent(receiver, new QEvent(type));
    KillMessage(&window, QEvent::User);
    KillMessage(&window, QEvent::None); // takes nothing
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(counter.Counts.value({&window, QEvent::User}), 0);
    EXPECT_EQ(counter.Counts.value({&window, Second}), 1);
    EXPECT_EQ(counter.Counts.value({&other, QEvent::User}), 1);

    // No window: every receiver's.
    QCoreApplication::postEvent(&window, new QEvent(Second));
    QCoreApplication::postEvent(&other, new QEvent(Second));
    KillMessage(nullptr, Second);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(counter.Counts.value({&window, Second}), 1);
    EXPECT_EQ(counter.Counts.value({&other, Second}), 0);
}

TEST_F(WindowRoutinesTest, KillMessageLeavesAQuitAndADeferredDeletePending) {
    TEventCounter counter;
    QCoreApplication::instance()->installEventFilter(&counter);
    QCoreApplication::postEvent(QCoreApplication::instance(), new QEvent(QEvent::Quit));
    KillMessage(QCoreApplication::instance(), QEvent::Quit);
    KillMessage(nullptr, QEvent::Quit);
    QCoreApplication::sendPostedEvents(QCoreApplication::instance(), QEvent::Quit);
    EXPECT_EQ(counter.Counts.value({QCoreApplication::instance(), QEvent::Quit}), 1);
    QCoreApplication::instance()->removeEventFilter(&counter);

    QPointer<QObject> doomed = new QObject;
    doomed->deleteLater();
    KillMessage(doomed, QEvent::DeferredDelete);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(doomed.isNull());
}

} // namespace
