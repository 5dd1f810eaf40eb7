#include "units/Formatters.h"
#include "units/NumberText.h"
#include "units/Parsers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>

#include <unistd.h>

namespace vorelle {
namespace {

// Switches the C library's locale for one test and restores it afterwards.
class ScopedLocale {
public:
    explicit ScopedLocale(const char* name) : previous_(std::setlocale(LC_ALL, nullptr))
    {
        active_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ScopedLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

    bool Active() const { return active_; }

private:
    std::string previous_;
    bool active_ = false;
};

// A locale whose decimal separator is a comma: the installed de_DE.UTF-8, or
// else one compiled for this run with localedef into a temporary folder that
// LOCPATH points the C library to.
class CommaLocale {
public:
    static constexpr const char* kName = "de_DE.UTF-8";

    static bool Available()
    {
        static CommaLocale locale;
        return locale.available_;
    }

private:
    CommaLocale()
    {
        if (ScopedLocale(kName).Active()) {
            available_ = true;
            return;
        }
        folder_ = std::filesystem::temp_directory_path() / ("vorelle2-locale-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder_);
        const std::string command = "localedef -i de_DE -f UTF-8 '" + (folder_ / kName).string() + "' >/dev/null 2>&1";
        // localedef reports warnings with a non-zero status; the result counts.
        [[maybe_unused]] const int status = std::system(command.c_str());
        setenv("LOCPATH", folder_.c_str(), 1);
        available_ = ScopedLocale(kName).Active();
    }
    ~CommaLocale()
    {
        std::error_code ignored;
        if (!folder_.empty())
            std::filesystem::remove_all(folder_, ignored);
    }

    std::filesystem::path folder_;
    bool available_ = false;
};

std::string Printf(float value, int decimals)
{
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, static_cast<double>(value));
    return buffer;
}

std::string Fixed(float value, int decimals)
{
    std::string text;
    AppendFixed(text, value, decimals);
    return text;
}

// The fixed printer must agree with printf in the "C" locale digit for digit,
// ties and signs included, since the shown texts are defined by printf formats.
TEST(NumberTextTest, FixedMatchesPrintfInTheCLocale)
{
    ScopedLocale c("C");
    ASSERT_TRUE(c.Active());
    const float samples[] = {0.0f, -0.0f, 0.25f, 0.35f, 1.25f, 2.5f, -2.5f, 0.125f, -0.04f, 0.005f, 0.015f,
                             987.0f, 29.146f, 1e-30f, 3.0e38f, -3.0e38f, std::numeric_limits<float>::max(),
                             std::numeric_limits<float>::denorm_min(), 16777216.0f, 214748368.0f};
    for (const float f : samples) {
        for (int decimals = 0; decimals <= 3; ++decimals)
            EXPECT_EQ(Fixed(f, decimals), Printf(f, decimals)) << f;
    }
    // Every tenth and hundredth the display produces in its usual range.
    for (int i = -100000; i <= 100000; ++i) {
        const float tenths = static_cast<float>(i / 10.0);
        const float hundredths = static_cast<float>(i / 100.0);
        ASSERT_EQ(Fixed(tenths, 1), Printf(tenths, 1)) << i;
        ASSERT_EQ(Fixed(hundredths, 2), Printf(hundredths, 2)) << i;
        ASSERT_EQ(Fixed(tenths / 3.0f, 2), Printf(tenths / 3.0f, 2)) << i;
    }
}

TEST(NumberTextTest, ReadLeadingNumber)
{
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"12.5", 12.5},   {" \t\n12.5", 12.5}, {"-3", -3.0},    {"+3", 3.0},     {".5", 0.5},
        {"-.5", -0.5},    {"5.", 5.0},         {"5.e3", 5000.0}, {"1e2", 100.0},  {"1E2", 100.0},
        {"1e-2", 0.01},   {"1e+2x", 100.0},    {"1e", 1.0},     {"1e+", 1.0},    {"1e2.5", 100.0},
        {"12,5", 12.0},   {"1 2", 1.0},        {"0x1A", 0.0},   {"007", 7.0},    {"", 0.0},
        {"  ", 0.0},      {".", 0.0},          {"-", 0.0},      {"+", 0.0},      {"-.", 0.0},
        {".e3", 0.0},     {"e5", 0.0},         {"abc", 0.0},    {"nan", 0.0},    {"-nan", 0.0},
        {"inf", 0.0},     {"-infinity", 0.0},  {"1e400", inf},  {"-1e400", -inf}, {"1e-400", 0.0},
        {"0.0000000000000000000000000000000000001e-300", 0.0},
        {"1e99999999999999999999", inf},       {"-0.000e99999999999999", 0.0},
        {"100000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
         "0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
         "0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000"
         "0000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000000",
         inf},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReadLeadingNumber(c.text), c.value) << "'" << c.text << "'";
    // Only a number's first characters count, so the view's end is respected.
    EXPECT_EQ(ReadLeadingNumber(std::string_view("12345", 2)), 12.0);
    EXPECT_EQ(ReadLeadingInteger(std::string_view("12345", 2)), 12);
    EXPECT_EQ(ReadLeadingNumber(std::string_view("1e5", 2)), 1.0);
}

// The Qt program runs with the user's locale, whose decimal separator may be
// a comma; the texts must not change with it.
class NumberTextLocaleTest : public testing::TestWithParam<const char*> {};

TEST_P(NumberTextLocaleTest, PointWhateverTheLocale)
{
    ASSERT_TRUE(CommaLocale::Available()) << "neither installed nor made with localedef (Debian package locales)";
    ScopedLocale locale(GetParam());
    ASSERT_TRUE(locale.Active()) << GetParam();
    EXPECT_EQ(FormatTemperature(kTempCelsius, Show::WithUnit, 250), "25.0 \xC2\xB0" "C");
    EXPECT_EQ(FormatPressure(kPressureInHg, Show::WithUnit, 9870), "29.15 inHg");
    EXPECT_EQ(FormatLight(kLightLux, 20000), "2.0 k lux");
    EXPECT_EQ(FormatLight(kLightWattsPerSquareMetre, 20000), "15.79 w/m2");
    EXPECT_EQ(FormatRain(kRainMillimetres, RainFormat::Rate, 125), "12.5 mm/h");
    EXPECT_EQ(FormatPm25(255), "25.5 ug/m3");
    EXPECT_EQ(ParseTemperature(kTempCelsius, "25.5"), 255);
    EXPECT_EQ(ParseTemperature(kTempCelsius, "25,5"), 250);
    EXPECT_EQ(ParseRain(kRainInches, "0.49"), 124);
    EXPECT_EQ(ReadLeadingNumber("1.5e1"), 15.0);
}

INSTANTIATE_TEST_SUITE_P(Locales, NumberTextLocaleTest,
                         testing::Values("C.UTF-8", CommaLocale::kName));

// Confirms that a comma locale really reached printf when one is installed, so
// the case above is not passing for lack of a comma.
TEST(NumberTextLocaleCheck, CommaLocaleChangesPrintf)
{
    ASSERT_TRUE(CommaLocale::Available());
    ScopedLocale locale(CommaLocale::kName);
    EXPECT_EQ(Printf(1.5f, 1), "1,5");
    EXPECT_EQ(Fixed(1.5f, 1), "1.5");
}

}  // namespace
}  // namespace vorelle
