#pragma once

#include "core/dates/DateNumbers.h"
#include "core/common/RegionalSettings.h"
#include "core/services/Services.h"
#include "tests/support/FixedClock.h"

#include <QDate>
#include <gtest/gtest.h>
#include <memory>

// The date number of a calendar day, for short test tables.
inline double D(int year, int month, int day) {
    return EncodeDateNum(year, month, day);
}

// The clock reads 30 June 2006, 18:00; the regional formats are the defaults, and are put back
// afterwards.
class TDatesFixture : public ::testing::Test {
protected:
    void SetUp() override {
        TRegionalSettings::Program().Reset();
        TServices::SetClock(std::make_shared<TFixedClock>(QDateTime(QDate(2006, 6, 30), QTime(18, 0))));
    }
    void TearDown() override {
        TRegionalSettings::Program().Reset();
        TServices::Reset();
    }
};
