#include "live/LiveItems.h"

namespace vorelle {

std::optional<ItemKind> KindOfItem(std::uint8_t code)
{
    if (IsChannelItem(code))
        return code < item::FirstChannelHumidity ? ItemKind::Temperature : ItemKind::Byte;
    switch (code) {
    case item::IndoorTemp:
    case item::OutdoorTemp:
    case item::DewPoint:
    case item::ExtraTemp04:
    case item::FeelsLike:
        return ItemKind::Temperature;
    case item::IndoorHumidity:
    case item::OutdoorHumidity:
    case item::UvIndex:
    case item::Soil:
        return ItemKind::Byte;
    case item::AbsBarometer:
    case item::RelBarometer:
    case item::WindDir:
    case item::WindSpeed:
    case item::GustSpeed:
        return ItemKind::Signed16;
    case item::ExtraRain13:
    case item::RainRate:
    case item::ExtraRain15:
    case item::RainToday:
    case item::RainThisWeek:
        return ItemKind::Rain16;
    case item::RainThisMonth:
    case item::RainThisYear:
    case item::ExtraRain20:
        return ItemKind::Rain32;
    case item::SolarRadiation:
        return ItemKind::Light;
    case item::Extra22:
    case item::Pm25:
        return ItemKind::Unsigned16;
    case item::DateTime:
        return ItemKind::DateTime;
    default:
        return std::nullopt;
    }
}

std::size_t ValueSize(ItemKind kind)
{
    switch (kind) {
    case ItemKind::Byte:
        return 1;
    case ItemKind::Temperature:
    case ItemKind::Signed16:
    case ItemKind::Unsigned16:
    case ItemKind::Rain16:
        return 2;
    case ItemKind::Rain32:
    case ItemKind::Light:
        return 4;
    case ItemKind::DateTime:
        return 7;
    }
    return 0;
}

bool IsChannelItem(std::uint8_t code)
{
    return code >= item::FirstChannelTemp && code < item::FirstChannelHumidity + kChannelCount;
}

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

}  // namespace vorelle
