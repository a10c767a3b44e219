#include "core/util/References.h"
#include "core/util/TransactionKeys.h"

#include "core/common/Exceptions.h"

#include <gtest/gtest.h>

TEST(References, TextOfOrdinaryAndSpecialReferences) {
    EXPECT_EQ(ReferenceToText(-1), "");
    EXPECT_EQ(ReferenceToText(0), "000000");
    EXPECT_EQ(ReferenceToText(42), "000042");
    EXPECT_EQ(ReferenceToText(1000000), "1000000");
    EXPECT_EQ(ReferenceToText(1000001), "Bank");
    EXPECT_EQ(ReferenceToText(1000002), "Opbal");
    EXPECT_EQ(ReferenceToText(1000003), "TessalyJnl");
    EXPECT_EQ(ReferenceToText(1000005), "");
    EXPECT_EQ(ReferenceToText(1000009), "Contra");
    EXPECT_EQ(ReferenceToText(1000012), "000012");
}

TEST(References, TypedTextNamesFirstThenCapitalMarkersThenNumbers) {
    qint32 ref = -7;
    ASSERT_TRUE(TextToReference("12B", ref));
    EXPECT_EQ(ref, 1000001);
    ASSERT_TRUE(TextToReference("-45", ref));
    EXPECT_EQ(ref, 45);
    // The program's own names read back, although "Opbal" holds a b and "TessalyJnl" no marker.
    ASSERT_TRUE(TextToReference("Opbal", ref));
    EXPECT_EQ(ref, 1000002);
    ASSERT_TRUE(TextToReference("tessalyjnl", ref));
    EXPECT_EQ(ref, 1000003);
    ASSERT_TRUE(TextToReference("CONTRA", ref));
    EXPECT_EQ(ref, 1000009);
    ASSERT_TRUE(TextToReference("D", ref));
    EXPECT_EQ(ref, 1000003);
    ASSERT_TRUE(TextToReference("OC", ref));
    EXPECT_EQ(ref, 1000002);
    ref = 5;
    EXPECT_FALSE(TextToReference("abc", ref));
    EXPECT_FALSE(TextToReference("", ref));
    EXPECT_FALSE(TextToReference("99999999999", ref));
    EXPECT_EQ(ref, 5);
}

TEST(References, NextReferenceWrapsAndKeepsBank) {
    EXPECT_EQ(NextReference(10, 1), 11);
    EXPECT_EQ(NextReference(999998, 1), 999999);
    EXPECT_EQ(NextReference(999999, 1), 1);
    EXPECT_EQ(NextReference(1, -1), 1);
    EXPECT_EQ(NextReference(1000009, 1), 1);
    EXPECT_EQ(NextReference(1000001, 1), 1000001);
    EXPECT_EQ(NextReference(2147483647 - 1, 5), 1);
}

TEST(References, ExportTexts) {
    QString text;
    ReferenceToExportText(1000001, true, text);
    EXPECT_EQ(text, "999999");
    ReferenceToExportText(1000002, true, text);
    EXPECT_EQ(text, "000001");
    ReferenceToExportText(1000009, false, text);
    EXPECT_EQ(text, "0");
    ReferenceToExportText(123, false, text);
    EXPECT_EQ(text, "123");
    ReferenceToExportText(123, true, text);
    EXPECT_EQ(text, "000123");
}

TEST(References, RangesAreNormalisedAndTested) {
    QString text = "5 to 1, B, 7";
    TReferenceRangeList list;
    ASSERT_TRUE(ParseReferenceRanges(text, list));
    EXPECT_FALSE(list.All);
    ASSERT_EQ(list.Ranges.size(), 3);
    EXPECT_EQ(list.Ranges[0].FromRef, 1);
    EXPECT_EQ(list.Ranges[0].ToRef, 5);
    EXPECT_EQ(list.Ranges[1].FromRef, 1000001);
    EXPECT_EQ(text, "000001 to 000005,Bank,000007");
    EXPECT_TRUE(ReferenceInRanges(list, 3));
    EXPECT_TRUE(ReferenceInRanges(list, 7));
    EXPECT_TRUE(ReferenceInRanges(list, 1000001));
    EXPECT_FALSE(ReferenceInRanges(list, 6));
    EXPECT_FALSE(ReferenceInRanges(list, 1000009));

    // The rewritten text reads back to the same ranges.
    TReferenceRangeList again;
    QString copy = text;
    ASSERT_TRUE(ParseReferenceRanges(copy, again));
    EXPECT_EQ(copy, text);

    text = "Opbal to Contra, TessalyJnl";
    ASSERT_TRUE(ParseReferenceRanges(text, list));
    EXPECT_EQ(text, "Opbal to Contra,TessalyJnl");
    EXPECT_TRUE(ReferenceInRanges(list, 1000005));
}

TEST(References, AllAnywhereAndBadItems) {
    QString text = "1 to 3, <all>, 9";
    TReferenceRangeList list;
    ASSERT_TRUE(ParseReferenceRanges(text, list));
    EXPECT_TRUE(list.All);
    EXPECT_TRUE(list.Ranges.isEmpty());
    EXPECT_EQ(text, "<All>");
    EXPECT_TRUE(ReferenceInRanges(list, -1));

    for (const char* bad : {"1 to x", "abc", "2000000", "-5", "1 to 1000010"}) {
        QString badText = bad;
        TReferenceRangeList kept = list;
        EXPECT_FALSE(ParseReferenceRanges(badText, kept)) << bad;
        EXPECT_EQ(badText, bad);
        EXPECT_TRUE(kept.All);
    }
    text = "";
    ASSERT_TRUE(ParseReferenceRanges(text, list));
    EXPECT_FALSE(list.All);
    EXPECT_TRUE(list.Ranges.isEmpty());
    EXPECT_FALSE(ReferenceInRanges(list, 1));
}

TEST(TransactionKeys, BaseSequenceAndSplitOnSlotsOneToTwelve) {
    EXPECT_EQ(TransactionKeyBase(0, 1), 100100000);
    EXPECT_EQ(TransactionKeyBase(1, 12), 111200000);
    EXPECT_EQ(TransactionKeyBase(14, 7), 240700000);
    for (int kind = 0; kind <= 14; ++kind) {
        for (int slot = 1; slot <= 12; ++slot) {
            const qint32 key = TransactionKeyBase(kind, slot) + 99999;
            int splitKind = -1;
            int splitSlot = -1;
            SplitTransactionKey(key, splitKind, splitSlot);
            EXPECT_EQ(splitKind, kind);
            EXPECT_EQ(splitSlot, slot);
            EXPECT_EQ(TransactionKeySequence(key), 99999);
        }
    }
    EXPECT_THROW(TransactionKeyBase(1, 13), EQuilvaneError);
    EXPECT_THROW(TransactionKeyBase(1, 0), EQuilvaneError);
    EXPECT_THROW(TransactionKeyBase(15, 1), EQuilvaneError);
    EXPECT_THROW(TransactionKeyBase(-1, 1), EQuilvaneError);

    // Keys written with a slot past twelve still split; the caller checks the slot.
    int kind = 0;
    int slot = 0;
    SplitTransactionKey(111500042, kind, slot);
    EXPECT_EQ(kind, 1);
    EXPECT_EQ(slot, 15);
    EXPECT_EQ(TransactionKeySequence(111500042), 42);
}
