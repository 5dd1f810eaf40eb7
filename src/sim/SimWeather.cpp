#include "sim/SimWeather.h"

#include "live/LiveDecoder.h"
#include "live/LiveItems.h"

#include <algorithm>
#include <cmath>
#include <ctime>

namespace vorelle {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct LocalTime {
    double hour;      // 0 to 24, with fraction
    int dayOfYear;    // 0 to 365
    int dayOfWeek;    // 0 = Sunday
    int dayOfMonth;   // 1 to 31
    long long dayNumber;  // days since the epoch, local
    double hoursSinceEpoch;
};

LocalTime ToLocal(SimWeather::Clock::time_point now)
{
    const std::time_t t = SimWeather::Clock::to_time_t(now);
    std::tm tm{};
    localtime_r(&t, &tm);
    LocalTime local{};
    local.hour = tm.tm_hour + tm.tm_min / 60.0 + tm.tm_sec / 3600.0;
    local.dayOfYear = tm.tm_yday;
    local.dayOfWeek = tm.tm_wday;
    local.dayOfMonth = tm.tm_mday;
    local.hoursSinceEpoch = static_cast<double>(t + tm.tm_gmtoff) / 3600.0;
    local.dayNumber = static_cast<long long>(std::floor(local.hoursSinceEpoch / 24.0));
    return local;
}

// A smooth pseudo-random wave in [-1, 1], the same for the same inputs.
double Wave(double x, double seed)
{
    return (std::sin(x * 1.3 + seed) + std::sin(x * 0.71 + 2.0 * seed) * 0.6 + std::sin(x * 2.9 + seed * 0.3) * 0.3) /
           1.9;
}

// Integer hash in [0, 1), for choosing which hours bring showers.
double Chance(long long n)
{
    std::uint64_t x = static_cast<std::uint64_t>(n) * 0x9E3779B97F4A7C15ull;
    x ^= x >> 29;
    x *= 0xBF58476D1CE4E5B9ull;
    x ^= x >> 32;
    return static_cast<double>(x % 1000000) / 1000000.0;
}

std::int32_t Tenths(double value) { return static_cast<std::int32_t>(std::lround(value * 10.0)); }

// Showers come in some hours, heaviest in the middle of the hour: the rate in
// mm/h is Peak × sin(π × fraction of the hour).
constexpr double kShowerChance = 0.18;

bool ShowerHour(long long hourNumber) { return Chance(hourNumber) < kShowerChance; }

double ShowerPeak(long long hourNumber) { return 1.0 + 10.0 * Chance(hourNumber + 7); }

double RainRateAt(const LocalTime& local)
{
    const long long hourNumber = static_cast<long long>(std::floor(local.hoursSinceEpoch));
    if (!ShowerHour(hourNumber))
        return 0.0;
    const double minute = local.hoursSinceEpoch - static_cast<double>(hourNumber);
    return ShowerPeak(hourNumber) * std::sin(kPi * minute);
}

// Millimetres of rain between two local times, in hours since the epoch: the
// integral of the shower rate. An interval that the clock's change back from
// summer time turns round has no rain.
double RainBetweenLocalHours(double start, double end)
{
    double millimetres = 0.0;
    for (auto hour = static_cast<long long>(std::floor(start)); static_cast<double>(hour) < end; ++hour) {
        if (!ShowerHour(hour))
            continue;
        // Peak × sin(π m) integrated over the part [m0, m1] of this hour.
        const double m0 = std::max(start - static_cast<double>(hour), 0.0);
        const double m1 = std::min(end - static_cast<double>(hour), 1.0);
        millimetres += ShowerPeak(hour) * (std::cos(kPi * m0) - std::cos(kPi * m1)) / kPi;
    }
    return millimetres;
}

}  // namespace

double DewPointCelsius(double celsius, double humidity)
{
    const double a = 17.62;
    const double b = 243.12;
    const double gamma = std::log(std::max(humidity, 1.0) / 100.0) + a * celsius / (b + celsius);
    return b * gamma / (a - gamma);
}

double FeelsLikeCelsius(double celsius, double humidity, double windMs)
{
    const double kmh = windMs * 3.6;
    if (celsius <= 10.0 && kmh > 4.8) {
        const double v = std::pow(kmh, 0.16);
        return 13.12 + 0.6215 * celsius - 11.37 * v + 0.3965 * celsius * v;
    }
    if (celsius >= 27.0) {
        const double f = celsius * 1.8 + 32.0;
        const double hi = -42.379 + 2.04901523 * f + 10.14333127 * humidity - 0.22475541 * f * humidity -
                          0.00683783 * f * f - 0.05481717 * humidity * humidity + 0.00122874 * f * f * humidity +
                          0.00085282 * f * humidity * humidity - 0.00000199 * f * f * humidity * humidity;
        return (hi - 32.0) / 1.8;
    }
    return celsius;
}

SimWeather::SimWeather() = default;

void SimWeather::SetChannelCount(int channels)
{
    std::lock_guard lock(mutex_);
    channels_ = std::clamp(channels, 0, kChannelCount);
}

int SimWeather::ChannelCount() const
{
    std::lock_guard lock(mutex_);
    return channels_;
}

void SimWeather::SetSoilSensor(bool present)
{
    std::lock_guard lock(mutex_);
    soil_ = present;
}

void SimWeather::SetPm25Sensor(bool present)
{
    std::lock_guard lock(mutex_);
    pm25_ = present;
}

bool SimWeather::SoilSensor() const
{
    std::lock_guard lock(mutex_);
    return soil_;
}

bool SimWeather::Pm25Sensor() const
{
    std::lock_guard lock(mutex_);
    return pm25_;
}

void SimWeather::SetMissing(std::uint8_t itemCode, bool missing)
{
    std::lock_guard lock(mutex_);
    if (missing)
        missing_.insert(itemCode);
    else
        missing_.erase(itemCode);
}

bool SimWeather::IsMissing(std::uint8_t itemCode) const
{
    std::lock_guard lock(mutex_);
    return missing_.contains(itemCode);
}

void SimWeather::SetRainTotals(std::int32_t today, std::int32_t week, std::int32_t month, std::int32_t year)
{
    std::lock_guard lock(mutex_);
    rainToday_ = today / 10.0;
    rainWeek_ = week / 10.0;
    rainMonth_ = month / 10.0;
    rainYear_ = year / 10.0;
}

void SimWeather::AccumulateRain(Clock::time_point now, double rateMmPerHour)
{
    const LocalTime local = ToLocal(now);
    if (lastDay_ >= 0 && local.dayNumber != lastDay_) {
        rainToday_ = 0.0;
        if (local.dayOfWeek == 1)
            rainWeek_ = 0.0;
        if (local.dayOfMonth == 1)
            rainMonth_ = 0.0;
        if (local.dayOfYear == 0)
            rainYear_ = 0.0;
    }
    lastDay_ = static_cast<int>(local.dayNumber);
    if (lastReading_ != Clock::time_point{} && now > lastReading_) {
        const double hours = std::chrono::duration<double>(now - lastReading_).count() / 3600.0;
        const double added = rateMmPerHour * std::min(hours, 1.0);
        rainToday_ += added;
        rainWeek_ += added;
        rainMonth_ += added;
        rainYear_ += added;
    }
    lastReading_ = now;
}

LiveValues SimWeather::Sample(Clock::time_point now) const
{
    const LocalTime local = ToLocal(now);
    const double h = local.hour;
    const double seasonal = std::sin(2.0 * kPi * (local.dayOfYear - 110) / 365.0);  // +1 in July
    const double days = local.hoursSinceEpoch / 24.0;

    // Warmest mid-afternoon, coolest just before dawn.
    const double outdoor = 10.0 + 8.0 * seasonal + 5.0 * std::cos(2.0 * kPi * (h - 15.0) / 24.0) + 1.5 * Wave(days * 3.0, 1.0);
    const double outdoorHumidity = std::clamp(68.0 - 18.0 * std::cos(2.0 * kPi * (h - 15.0) / 24.0) + 8.0 * Wave(days * 2.0, 2.0), 15.0, 99.0);
    const double indoor = 21.3 + 0.8 * std::cos(2.0 * kPi * (h - 18.0) / 24.0);
    const double indoorHumidity = 45.0 + 5.0 * Wave(days * 1.5, 3.0);

    // Stronger in the afternoon; gusts always above the mean.
    const double wind = std::max(0.0, 2.5 + 1.5 * std::sin(2.0 * kPi * (h - 9.0) / 24.0) + 1.5 * Wave(days * 24.0, 4.0));
    const double gust = wind * (1.35 + 0.25 * (Wave(days * 60.0, 5.0) + 1.0)) + 0.3;
    const double direction = std::fmod(230.0 + 60.0 * Wave(days * 4.0, 6.0) + 360.0, 360.0);

    // Relative pressure drifts over a few days; the station sits at 120 m.
    const double relative = 1013.0 + 9.0 * Wave(days * 0.9, 7.0);
    const double absolute = relative - 14.4;

    const double rate = RainRateAt(local);
    const bool showerHour = ShowerHour(static_cast<long long>(std::floor(local.hoursSinceEpoch)));
    // The soil takes up the rain of the day.
    const double rainSinceMidnight = RainBetweenLocalHours(local.hoursSinceEpoch - local.hour, local.hoursSinceEpoch);

    // Daylight between sunrise and sunset, longer in summer; clouds in showers.
    const double dayLength = 12.0 + 4.0 * seasonal;
    const double sunrise = 13.0 - dayLength / 2.0;
    double sun = 0.0;
    if (h > sunrise && h < sunrise + dayLength)
        sun = std::sin(kPi * (h - sunrise) / dayLength) * (0.75 + 0.25 * seasonal);
    const double lux = std::max(0.0, sun * 95000.0 * (showerHour ? 0.25 : 0.9 + 0.1 * Wave(days * 30.0, 8.0)));

    LiveValues v;
    ResetLiveValues(v);
    v.IndoorTemp = Tenths(indoor);
    v.OutdoorTemp = Tenths(outdoor);
    v.IndoorHumidity = static_cast<std::int32_t>(std::lround(indoorHumidity));
    v.OutdoorHumidity = static_cast<std::int32_t>(std::lround(outdoorHumidity));
    v.DewPointTemp = Tenths(DewPointCelsius(outdoor, outdoorHumidity));
    v.FeelsLikeTemp = Tenths(FeelsLikeCelsius(outdoor, outdoorHumidity, wind));
    v.AbsBarometer = Tenths(absolute);
    v.RelBarometer = Tenths(relative);
    v.WindSpeed = Tenths(wind);
    v.GustSpeed = Tenths(gust);
    v.WindDir = static_cast<std::int32_t>(std::lround(direction)) % 360;
    v.SolarRadiation = Tenths(lux);
    v.UvIndex = static_cast<std::int32_t>(std::lround(lux / 9500.0));
    v.RainRate = Tenths(rate);

    std::lock_guard lock(mutex_);
    for (int c = 0; c < channels_; ++c) {
        v.ChTemp[c] = Tenths((c % 2 ? indoor - 1.5 : outdoor + 0.7) + 0.4 * c);
        v.ChHumidity[c] = static_cast<std::int32_t>(std::lround((c % 2 ? indoorHumidity : outdoorHumidity) - c));
    }
    if (soil_)
        v.Soil = static_cast<std::int32_t>(std::lround(34.0 + 6.0 * Wave(days * 0.5, 9.0) + std::min(rainSinceMidnight, 20.0)));
    if (pm25_)
        v.Pm25 = Tenths(14.0 + 8.0 * Wave(days * 6.0, 10.0));
    return v;
}

void SimWeather::MarkMissing(LiveValues& values) const
{
    LiveValues missingValues;
    ResetLiveValues(missingValues);
    std::lock_guard lock(mutex_);
    for (std::uint8_t code : missing_) {
        std::int32_t* field = FieldOfItem(values, code);
        const std::int32_t* marker = FieldOfItem(missingValues, code);
        if (field && marker)
            *field = *marker;
    }
}

LiveValues SimWeather::Read(Clock::time_point now)
{
    LiveValues v = Sample(now);
    {
        std::lock_guard lock(mutex_);
        AccumulateRain(now, RainRateAt(ToLocal(now)));
        v.RainToday = Tenths(rainToday_);
        v.RainThisWeek = Tenths(rainWeek_);
        v.RainThisMonth = Tenths(rainMonth_);
        v.RainThisYear = Tenths(rainYear_);
    }
    MarkMissing(v);
    return v;
}

double SimWeather::RainFallen(Clock::time_point from, Clock::time_point to)
{
    return RainBetweenLocalHours(ToLocal(from).hoursSinceEpoch, ToLocal(to).hoursSinceEpoch);
}

}  // namespace vorelle
