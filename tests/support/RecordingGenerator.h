#pragma once

#include "store/RecordTime.h"
#include "store/RecordingLayout.h"
#include "units/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <string>

namespace vorelle::test {

// What a generated recording looks like: the console's layouts, its CR LF
// line ends, year-first times, a header naming the units, and "--" where a
// sensor gave nothing.
struct RecordingShape {
    RecordingLayout layout = RecordingLayout::Main;
    CivilTime start{2024, 1, 1, 0, 0, 0};
    int intervalMinutes = 1;
    std::uint64_t lines = 1440;
    bool fahrenheitAndInches = false;  // °F, inHg, mph and in instead of °C, hPa, m/s and mm
    // Share of readings in which the outdoor sensor (main layout) or the
    // channel's sensor answers nothing, 0 to 1.
    double missingShare = 0.0;
    std::uint64_t seed = 1;
};

// Weather that follows the day and the season, with showers that fill the
// rain totals, the same for the same shape.
class RecordingGenerator {
public:
    explicit RecordingGenerator(const RecordingShape& shape) : shape_(shape) {}

    std::string Header() const
    {
        const bool imperial = shape_.fahrenheitAndInches;
        const std::string t = imperial ? "(F)" : "(C)";
        switch (shape_.layout) {
        case RecordingLayout::Channel:
            return "Time,CH1 Temperature" + t + ",CH1 Humidity(%),CH1 Dew Point" + t + ",CH1 Feels Like" + t;
        case RecordingLayout::Soil: return "Time,Soil Moisture(%)";
        case RecordingLayout::Main: break;
        }
        const std::string p = imperial ? "(inHg)" : "(hPa)";
        const std::string w = imperial ? "(mph)" : "(m/s)";
        const std::string r = imperial ? "(in)" : "(mm)";
        return "Time,Indoor Temperature" + t + ",Indoor Humidity(%),Relative Pressure" + p + ",Absolute Pressure" + p +
               ",Outdoor Temperature" + t + ",Outdoor Humidity(%),Dew Point" + t + ",Feels Like" + t + ",Wind" + w +
               ",Gust" + w + ",Wind Direction,Light(lux),UV,Rain" + r + ",Daily Rain" + r + ",Weekly Rain" + r +
               ",Monthly Rain" + r + ",Yearly Rain" + r;
    }

    // The reading line `index` (0 for the first after the header), without
    // its line end.
    std::string Line(std::uint64_t index)
    {
        const double when = AutomationDate(shape_.start) + static_cast<double>(index) * shape_.intervalMinutes / 1440.0;
        const CivilTime time = CivilTimeOf(when);
        char stamp[24];
        std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d", time.year, time.month, time.day, time.hour,
                      time.minute);
        std::string line = stamp;
        const double hour = (when - std::floor(when)) * 24.0;
        const double season = std::cos(2.0 * kPi * (when - 15.0) / 365.25);  // 1 in mid-January
        const double daily = std::sin(2.0 * kPi * (hour - 9.0) / 24.0);      // warmest mid-afternoon
        const bool missing = Chance(index, 1) < shape_.missingShare;
        const double outTemp = 10.0 - 9.0 * season + 5.0 * daily + 2.0 * Noise(when * 3.0);
        const double outHumi = std::clamp(70.0 - 20.0 * daily + 10.0 * Noise(when * 2.0), 5.0, 99.0);
        const double wind = std::max(0.0, 3.0 + 2.5 * Noise(when * 5.0) + 1.5 * daily);

        if (shape_.layout == RecordingLayout::Soil) {
            AddInteger(line, missing ? -1 : 35.0 + 10.0 * Noise(when * 0.5));
            return line;
        }
        if (shape_.layout == RecordingLayout::Channel) {
            const double temp = 18.0 - 4.0 * season + 2.0 * daily + Noise(when * 4.0);
            const double humi = std::clamp(55.0 + 8.0 * Noise(when), 5.0, 99.0);
            AddTemperature(line, temp, missing);
            AddInteger(line, missing ? -1 : humi);
            AddTemperature(line, DewPoint(temp, humi), missing);
            AddTemperature(line, temp, missing);
            return line;
        }

        const double inTemp = 21.0 + 1.5 * daily + 0.5 * Noise(when * 6.0);
        const double relPressure = 1013.0 + 12.0 * Noise(when * 0.4);
        const double light = std::max(0.0, -std::cos(2.0 * kPi * hour / 24.0)) * (60000.0 - 35000.0 * season);
        AddTemperature(line, inTemp, false);
        AddInteger(line, 45.0 + 5.0 * Noise(when * 1.5));
        AddPressure(line, relPressure);
        AddPressure(line, relPressure - 8.5);
        AddTemperature(line, outTemp, missing);
        AddInteger(line, missing ? -1 : outHumi);
        AddTemperature(line, DewPoint(outTemp, outHumi), missing);
        AddTemperature(line, outTemp - (outTemp < 10.0 ? 0.7 * wind : 0.0), missing);
        AddWind(line, wind, missing);
        AddWind(line, wind * 1.6, missing);
        AddInteger(line, missing ? -1 : std::fmod(200.0 + 120.0 * Noise(when * 2.5) + 360.0, 360.0));
        AddNumber(line, light, 1, false);
        AddInteger(line, light / 10000.0);
        AddRain(line, when);
        return line;
    }

    // The whole recording: header and `lines` readings, each ended by CR LF.
    std::string Text()
    {
        std::string text = Header() + "\r\n";
        text.reserve(static_cast<std::size_t>(shape_.lines) * 112 + text.size());
        for (std::uint64_t i = 0; i < shape_.lines; ++i)
            text += Line(i) + "\r\n";
        return text;
    }

private:
    static constexpr double kPi = 3.14159265358979323846;

    // A smooth wave in about [-1, 1], different for each seed.
    double Noise(double x) const
    {
        const double s = static_cast<double>(shape_.seed % 1000);
        return (std::sin(x * 1.3 + s) + 0.6 * std::sin(x * 0.71 + 2.0 * s) + 0.3 * std::sin(x * 2.9 + 0.3 * s)) / 1.9;
    }

    // A hashed chance in [0, 1) for reading `n`.
    double Chance(std::uint64_t n, std::uint64_t salt) const
    {
        std::uint64_t x = (n + salt * 0x632BE59BD9B4E019ull + shape_.seed) * 0x9E3779B97F4A7C15ull;
        x ^= x >> 29;
        x *= 0xBF58476D1CE4E5B9ull;
        x ^= x >> 32;
        return static_cast<double>(x % 1000000) / 1000000.0;
    }

    static double DewPoint(double celsius, double humidity)
    {
        const double gamma = std::log(humidity / 100.0) + 17.62 * celsius / (243.12 + celsius);
        return 243.12 * gamma / (17.62 - gamma);
    }

    static void AddNumber(std::string& line, double value, int decimals, bool missing)
    {
        line += ',';
        if (missing)
            line += "--";
        else
            AppendFixed(line, static_cast<float>(value), decimals);
    }
    // Negative values stand for a missing integer reading.
    static void AddInteger(std::string& line, double value)
    {
        line += ',';
        if (value < 0)
            line += "--";
        else
            AppendInteger(line, static_cast<std::int32_t>(value));
    }
    void AddTemperature(std::string& line, double celsius, bool missing) const
    {
        AddNumber(line, shape_.fahrenheitAndInches ? celsius * 1.8 + 32.0 : celsius, 1, missing);
    }
    void AddPressure(std::string& line, double hpa) const
    {
        if (shape_.fahrenheitAndInches)
            AddNumber(line, hpa * 0.02953, 2, false);
        else
            AddNumber(line, hpa, 1, false);
    }
    void AddWind(std::string& line, double metresPerSecond, bool missing) const
    {
        AddNumber(line, shape_.fahrenheitAndInches ? metresPerSecond * 2.23694 : metresPerSecond, 1, missing);
    }
    void AddRainAmount(std::string& line, double mm) const
    {
        if (shape_.fahrenheitAndInches)
            AddNumber(line, mm / 25.4, 2, false);
        else
            AddNumber(line, mm, 1, false);
    }

    // A shower falls in about one hour in twelve; the totals restart with the
    // day, the week (Sunday), the month and the year of the reading.
    void AddRain(std::string& line, double when)
    {
        const CivilTime time = CivilTimeOf(when);
        const auto hourNumber = static_cast<std::uint64_t>(when * 24.0);
        const double rate = Chance(hourNumber, 2) < 0.08 ? 0.5 + 6.0 * Chance(hourNumber, 3) : 0.0;
        const double fallen = rate * shape_.intervalMinutes / 60.0;
        const auto day = static_cast<std::int64_t>(std::floor(when));
        if (day != lastDay_) {
            rainDay_ = 0.0;
            if ((day - 1) % 7 == 0)  // automation day 1 was a Sunday
                rainWeek_ = 0.0;
            if (time.day == 1)
                rainMonth_ = 0.0;
            if (time.day == 1 && time.month == 1)
                rainYear_ = 0.0;
            lastDay_ = day;
        }
        rainDay_ += fallen;
        rainWeek_ += fallen;
        rainMonth_ += fallen;
        rainYear_ += fallen;
        AddRainAmount(line, rate);
        for (const double total : {rainDay_, rainWeek_, rainMonth_, rainYear_})
            AddRainAmount(line, total);
    }

    RecordingShape shape_;
    std::int64_t lastDay_ = -1;
    double rainDay_ = 0.0;
    double rainWeek_ = 0.0;
    double rainMonth_ = 0.0;
    double rainYear_ = 0.0;
};

}  // namespace vorelle::test
