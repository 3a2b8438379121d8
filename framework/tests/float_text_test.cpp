// Floats in edit controls: six significant digits shown, blanks around a number allowed, no
// number or no finite float refused, and what is shown reads back as the same value.
#include "float_text.h"

#include <gtest/gtest.h>

using framework::FormatFloat;
using framework::ParseFloat;

TEST(FloatText, ShowsSixSignificantDigits) {
    EXPECT_EQ(FormatFloat(0.25f), L"0.25");
    EXPECT_EQ(FormatFloat(0.7f), L"0.7");
    EXPECT_EQ(FormatFloat(-0.5f), L"-0.5");
    EXPECT_EQ(FormatFloat(0.0f), L"0");
    EXPECT_EQ(FormatFloat(1234567.0f), L"1.23457e+06");
}

TEST(FloatText, ReadsNumbersWithSurroundingBlanks) {
    EXPECT_EQ(ParseFloat(L"0.25"), 0.25f);
    EXPECT_EQ(ParseFloat(L"  1.5  "), 1.5f);
    EXPECT_EQ(ParseFloat(L"-2"), -2.0f);
    EXPECT_EQ(ParseFloat(L"0"), 0.0f);
    EXPECT_EQ(ParseFloat(L"1e1"), 10.0f);
}

TEST(FloatText, RefusesTextThatIsNoNumber) {
    EXPECT_FALSE(ParseFloat(L""));
    EXPECT_FALSE(ParseFloat(L"   "));
    EXPECT_FALSE(ParseFloat(L"abc"));
    EXPECT_FALSE(ParseFloat(L"0.25mm"));
    EXPECT_FALSE(ParseFloat(L"1,5"));
}

TEST(FloatText, RefusesValuesAFloatCannotHold) {
    EXPECT_FALSE(ParseFloat(L"nan"));
    EXPECT_FALSE(ParseFloat(L"inf"));
    EXPECT_FALSE(ParseFloat(L"1e39"));
}

TEST(FloatText, WhatIsShownReadsBackAsTheSameValue) {
    for (float value : {0.25f, 0.7f, 0.69f, 1.5f, -0.5f, 12.34f}) {
        EXPECT_EQ(ParseFloat(FormatFloat(value)), value) << value;
    }
}
