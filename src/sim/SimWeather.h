#pragma once

#include "live/LiveValues.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <set>

namespace vorelle {

// Dew point in °C of air at `celsius` with `humidity` percent.
double DewPointCelsius(double celsius, double humidity);
// Feels-like temperature in °C: wind chill in the cold, heat index in the heat.
double FeelsLikeCelsius(double celsius, double humidity, double windMs);

// Weather as the simulated console measures it: temperature and dew point
// that follow the hour and the season, gusts above the mean wind, passing
// rain showers that add to the rain totals, light and UV that follow the sun.
// Values are in console units. Rain totals accumulate between readings.
class SimWeather {
public:
    using Clock = std::chrono::system_clock;

    SimWeather();

    // The readings at local time `now`; missing sensors read as missing.
    // Rain totals accumulate from one reading to the next.
    LiveValues Read(Clock::time_point now);
    // The readings at `now` that depend on the time alone: everything but the
    // rain totals (left as missing), missing sensors not yet marked.
    LiveValues Sample(Clock::time_point now) const;
    // Sets the readings of the sensors that stopped answering to missing.
    void MarkMissing(LiveValues& values) const;
    // Millimetres of rain that the showers bring between two times.
    static double RainFallen(Clock::time_point from, Clock::time_point to);

    void SetChannelCount(int channels);  // 0 to 8 extra temperature/humidity sensors
    int ChannelCount() const;
    void SetSoilSensor(bool present);
    void SetPm25Sensor(bool present);
    bool SoilSensor() const;
    bool Pm25Sensor() const;
    // A sensor (by live item code) that stops answering, or comes back.
    void SetMissing(std::uint8_t itemCode, bool missing);
    bool IsMissing(std::uint8_t itemCode) const;

    // Rain totals in tenths of mm, as corrected by the station owner.
    void SetRainTotals(std::int32_t today, std::int32_t week, std::int32_t month, std::int32_t year);

private:
    void AccumulateRain(Clock::time_point now, double rateMmPerHour);

    mutable std::mutex mutex_;  // protects everything below
    int channels_ = 0;
    bool soil_ = false;
    bool pm25_ = false;
    std::set<std::uint8_t> missing_;
    // Running totals in mm, kept as doubles so that light rain adds up.
    double rainToday_ = 0.0;
    double rainWeek_ = 12.4;
    double rainMonth_ = 48.2;
    double rainYear_ = 612.0;
    Clock::time_point lastReading_{};
    int lastDay_ = -1;
};

}  // namespace vorelle
