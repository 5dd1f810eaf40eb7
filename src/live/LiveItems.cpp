#include "live/LiveItems.h"

namespace vorelle {

std::int32_t* FieldOfItem(LiveValues& v, std::uint8_t code)
{
    if (IsChannelItem(code)) {
        if (code < item::FirstChannelHumidity)
            return &v.ChTemp[code - item::FirstChannelTemp];
        return &v.ChHumidity[code - item::FirstChannelHumidity];
    }
    switch (code) {
    case item::IndoorTemp: return &v.IndoorTemp;
    case item::OutdoorTemp: return &v.OutdoorTemp;
    case item::DewPoint: return &v.DewPointTemp;
    case item::ExtraTemp04: return &v.ExtraTemp04;
    case item::IndoorHumidity: return &v.IndoorHumidity;
    case item::OutdoorHumidity: return &v.OutdoorHumidity;
    case item::AbsBarometer: return &v.AbsBarometer;
    case item::RelBarometer: return &v.RelBarometer;
    case item::WindDir: return &v.WindDir;
    case item::WindSpeed: return &v.WindSpeed;
    case item::GustSpeed: return &v.GustSpeed;
    case item::ExtraRain13: return &v.ExtraRain13;
    case item::RainRate: return &v.RainRate;
    case item::ExtraRain15: return &v.ExtraRain15;
    case item::RainToday: return &v.RainToday;
    case item::RainThisWeek: return &v.RainThisWeek;
    case item::RainThisMonth: return &v.RainThisMonth;
    case item::RainThisYear: return &v.RainThisYear;
    case item::ExtraRain20: return &v.ExtraRain20;
    case item::SolarRadiation: return &v.SolarRadiation;
    case item::Extra22: return &v.Extra22;
    case item::UvIndex: return &v.UvIndex;
    case item::FeelsLike: return &v.FeelsLikeTemp;
    case item::Pm25: return &v.Pm25;
    case item::Soil: return &v.Soil;
    default: return nullptr;
    }
}

const std::int32_t* FieldOfItem(const LiveValues& values, std::uint8_t code)
{
    return FieldOfItem(const_cast<LiveValues&>(values), code);
}

}  // namespace vorelle
