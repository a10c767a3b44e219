#pragma once

#include "core/common/RegionalSettings.h"
#include "core/dates/DateNumbers.h"
#include "core/services/Services.h"
#include "tests/support/FixedClock.h"
#include "tests/support/ServicesFixture.h"

#include <QDate>
#include <gtest/gtest.h>
#include <memory>

// The date number of a calendar day, for short test tables.
inline double D(int year, int month, int day) {
    return EncodeDateNum(year, month, day);
}

// The shared fixture of the date and text tests: the clock reads 30 June 2006, 18:00; the
// regional formats start as the defaults (DD/MM/YY, English names); every service is put back.
class TDatesFixture : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        TServices::SetClock(std::make_shared<TFixedClock>(QDateTime(QDate(2006, 6, 30), QTime(18, 0))));
    }

    TRegionalSettings& Regional = TServices::Regional();
};
