#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "archive/number_text.h"
#include "base/failure_native.h"

namespace {

struct IntegerCase {
    const char* text;
    bool valid;
    int32_t value;
};

const IntegerCase kIntegerCases[] = {
    {"000047616", true, 47616},
    {" 000047616", true, 47616},
    {"   -12", true, -12},
    {"+7", true, 7},
    {"$BA00", true, 47616},
    {"$ba00", true, 47616},
    {"  $7fffffff", true, 2147483647},
    {"$FFFFFFFF", true, -1},
    {"$80000000", true, INT32_MIN},
    {"2147483647", true, 2147483647},
    {"-2147483648", true, INT32_MIN},
    {"0", true, 0},
    {"000047616 ", false, 0},  // nothing may follow the digits
    {"", false, 0},
    {" ", false, 0},
    {"-", false, 0},
    {"$", false, 0},
    {"-$10", false, 0},
    {"$-10", false, 0},
    {"$100000000", false, 0},
    {"2147483648", false, 0},
    {"-2147483649", false, 0},
    {"99999999999999999999", false, 0},
    {"\t5", false, 0},  // only spaces count as blanks
    {"1e3", false, 0},
    {"12a", false, 0},
    {"0x10", false, 0},
};

TEST(TextToInteger, FollowsTheOneIntegerRule) {
    for (const IntegerCase& c : kIntegerCases) {
        int32_t value = 0;
        EXPECT_EQ(TryParseInteger(Text(c.text), &value), c.valid) << '"' << c.text << '"';
        if (c.valid) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(TextToInteger, RaisesConvertErrorNamingTheText) {
    try {
        TextToInteger(Text("000047616 "));
        FAIL() << "no failure raised";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.kind, FailureKind::EConvertError);
        EXPECT_EQ(failure.message, "'000047616 ' ist kein g\374ltiger Integerwert");
    }
}

TEST(IntegerToText, PlainDecimal) {
    EXPECT_EQ(IntegerToText(0), "0");
    EXPECT_EQ(IntegerToText(16409), "16409");
    EXPECT_EQ(IntegerToText(-1), "-1");
    EXPECT_EQ(IntegerToText(INT32_MIN), "-2147483648");
    EXPECT_EQ(IntegerToText(INT32_MAX), "2147483647");
}

struct RealCase {
    double value;
    const char* text;
};

const RealCase kRealCases[] = {
    {36273.7614583333, "36273.7614583333"},
    {36273.76145833333, "36273.7614583333"},  // taken to 15 significant digits
    {36273.0, "36273"},                        // whole days: no separator
    {0.0, "0"},
    {-2.5, "-2.5"},
    {0.0001, "0.0001"},
    {0.00001, "1E-5"},
    {1.5e20, "1.5E20"},
    {123456789012345.0, "123456789012345"},
    {1234567890123456.0, "1.23456789012346E15"},
    {999999999999999.9, "1E15"},  // rounding carries into a new digit
    {0.1, "0.1"},
    {1.0 / 3.0, "0.333333333333333"},
    {2.0 / 3.0, "0.666666666666667"},
    {-1e-300, "-1E-300"},
    {5e-324, "4.94065645841247E-324"},
    {1.5e308, "1.5E308"},
    {100.0, "100"},
    {0.5, "0.5"},
};

TEST(RealToText, GeneralFormWithFifteenDigits) {
    for (const RealCase& c : kRealCases) EXPECT_EQ(RealToText(c.value, '.'), c.text) << c.text;
}

TEST(RealToText, LargestDoubleRoundsAboveItself) {
    // The 15-digit form lies past the largest double, so it does not read back.
    EXPECT_EQ(RealToText(1.7976931348623157e308, '.'), "1.79769313486232E308");
    double value;
    EXPECT_FALSE(TryParseReal(Text("1.79769313486232E308"), '.', &value));
}

TEST(RealToText, UsesTheGivenSeparator) {
    EXPECT_EQ(RealToText(36273.7614583333, ','), "36273,7614583333");
    EXPECT_EQ(RealToText(1.5e20, ','), "1,5E20");
}

TEST(TextToReal, ReadsWhatRealToTextWrites) {
    for (const RealCase& c : kRealCases) {
        double value = 0;
        ASSERT_TRUE(TryParseReal(Text(c.text), '.', &value)) << c.text;
        EXPECT_EQ(RealToText(value, '.'), c.text);
    }
}

TEST(TextToReal, FifteenDigitTextsComeBackAsTheNearestDouble) {
    std::mt19937_64 random(20261211);
    for (int i = 0; i < 20000; ++i) {
        double value = std::uniform_real_distribution<double>(0, 73050)(random);
        Text text = RealToText(value, '.');
        double back = 0;
        ASSERT_TRUE(TryParseReal(text, '.', &back)) << text.CStr();
        EXPECT_EQ(back, strtod(text.CStr(), nullptr)) << text.CStr();
    }
}

TEST(TextToReal, AcceptsAndRefuses) {
    const struct {
        const char* text;
        char separator;
        bool valid;
        double value;
    } cases[] = {
        {"  1.5  ", '.', true, 1.5},   {"-0.25", '.', true, -0.25},  {"1,5", ',', true, 1.5},
        {"1.5", ',', false, 0},        {"1e3", '.', true, 1000},     {"2.5E-3", '.', true, 0.0025},
        {".5", '.', true, 0.5},        {"5.", '.', true, 5},         {"", '.', false, 0},
        {".", '.', false, 0},          {"1e", '.', false, 0},        {"1x", '.', false, 0},
        {"1.2.3", '.', false, 0},      {"1E400", '.', false, 0},     {"1E-400", '.', true, 0},
        {"12345678901234567890123", '.', true, 1.2345678901234568e22},
    };
    for (const auto& c : cases) {
        double value = -99;
        EXPECT_EQ(TryParseReal(Text(c.text), c.separator, &value), c.valid) << c.text;
        if (c.valid) {
            EXPECT_DOUBLE_EQ(value, c.value) << c.text;
        }
    }
}

TEST(TextToReal, RaisesConvertErrorNamingTheText) {
    try {
        TextToReal(Text("abc"));
        FAIL() << "no failure raised";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.kind, FailureKind::EConvertError);
        EXPECT_EQ(failure.message, "'abc' ist kein g\374ltiger Gleitkommawert");
    }
}

}  // namespace
