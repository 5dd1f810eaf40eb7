#include "settings/TimeZones.h"

#include <algorithm>

namespace vorelle {

namespace {

// The console stores the row number, so the order is part of the protocol.
constexpr std::array<std::string_view, kTimeZoneCount> kTimeZoneNames = {
    "(UTC-12:00)International Date Line West",  // 0
    "(UTC-11:00)Samoa",  // 1
    "(UTC-11:00)Coordinated Universal Time-11",  // 2
    "(UTC-10:00)Aleutian Islands",  // 3
    "(UTC-10:00)Hawaii",  // 4
    "(UTC-09:30)Marquesas Islands",  // 5
    "(UTC-09:00)Alaska",  // 6
    "(UTC-09:00)Coordinated Universal Time-9",  // 7
    "(UTC-08:00)Pacific Time (US & Canada)",  // 8
    "(UTC-08:00)Baja California",  // 9
    "(UTC-08:00)Coordinated Universal Time-8",  // 10
    "(UTC-07:00)Chihuahua,La Paz,Mazatlan",  // 11
    "(UTC-07:00)Mountain Time (US & Canada)",  // 12
    "(UTC-07:00)Arizona",  // 13
    "(UTC-06:00)Guadalajara,Mexico City,Monterrey",  // 14
    "(UTC-06:00)Saskatchewan",  // 15
    "(UTC-06:00)Central Time (US & Canada)",  // 16
    "(UTC-06:00)Central America",  // 17
    "(UTC-05:00)Bogota,Lima,Quito",  // 18
    "(UTC-05:00)Eastern Time (US & Canada)",  // 19
    "(UTC-05:00)Havana",  // 20
    "(UTC-05:00)Hayti",  // 21
    "(UTC-05:00)Chetumal",  // 22
    "(UTC-05:00)Indiana (East)",  // 23
    "(UTC-04:30)Caracas",  // 24
    "(UTC-04:00)Atlantic Time (Canada)",  // 25
    "(UTC-04:00)Cuiaba",  // 26
    "(UTC-04:00)Georgetown,La Paz,Manaus,San Juan",  // 27
    "(UTC-04:00)Santiago",  // 28
    "(UTC-04:00)Asuncion",  // 29
    "(UTC-03:30)Newfoundland",  // 30
    "(UTC-03:00)Brasilia",  // 31
    "(UTC-03:00)Buenos Aires",  // 32
    "(UTC-03:00)Greenland",  // 33
    "(UTC-03:00)Cayenne,Fortaleza",  // 34
    "(UTC-03:00)Montevideo",  // 35
    "(UTC-02:00)Coordinated Universal Time-02",  // 36
    "(UTC-01:00)Cape Verde Is.",  // 37
    "(UTC-01:00)Azores",  // 38
    "(UTC)Dublin,Edinburgh,Lisbon,London",  // 39
    "(UTC)Casablanca",  // 40
    "(UTC)Monrovia,Reykjavik",  // 41
    "(UTC)Coordinated Universal Time",  // 42
    "(UTC+01:00)Amsterdam,Berlin,Bern,Rome,Stockholm,Vienna",  // 43
    "(UTC+01:00)Belgrade,Bratislava,Budapest,Ljubljana,Prague",  // 44
    "(UTC+01:00)Brussels,Copenhagen,Madrid,Paris",  // 45
    "(UTC+01:00)Sarajevo,Skopje,Warsaw,Zagreb",  // 46
    "(UTC+01:00)Windhoek",  // 47
    "(UTC+01:00)West Central Africa",  // 48
    "(UTC+02:00)Amman",  // 49
    "(UTC+02:00)Beirut",  // 50
    "(UTC+02:00)Damascus",  // 51
    "(UTC+02:00)Harare,Pretoria",  // 52
    "(UTC+02:00)Helsinki,Kyiv,Riga,Sofia,Talinn,Vilnius",  // 53
    "(UTC+02:00)Cairo",  // 54
    "(UTC+02:00)Athens,Bucharest,Istanbul",  // 55
    "(UTC+02:00)Jerusalem",  // 56
    "(UTC+03:00)Baghdad",  // 57
    "(UTC+03:00)Kuwait,Riyadh",  // 58
    "(UTC+03:00)Minsk",  // 59
    "(UTC+03:00)Moscow,St.Petersburg,Volgograd",  // 60
    "(UTC+03:00)Nairobi",  // 61
    "(UTC+03:30)Tehran",  // 62
    "(UTC+04:00)Abu Dhabi,Muscat",  // 63
    "(UTC+04:00)Yerevan",  // 64
    "(UTC+04:00)Baku",  // 65
    "(UTC+04:00)Tbilisi",  // 66
    "(UTC+04:00)Port Louis",  // 67
    "(UTC+04:30)Kabul",  // 68
    "(UTC+05:00)Tashkent",  // 69
    "(UTC+05:00)Ekaterinburg",  // 70
    "(UTC+05:00)Islamabad,Karachi",  // 71
    "(UTC+05:30)Chennai,Kolkata,Mumbai,New Delhi",  // 72
    "(UTC+05:30)Sri Jayawardenepura",  // 73
    "(UTC+05:45)Kathmandu",  // 74
    "(UTC+06:00)Astana",  // 75
    "(UTC+06:00)Dhaka",  // 76
    "(UTC+06:00)Novosibirsk",  // 77
    "(UTC+06:30)Yangon (Rangoon)",  // 78
    "(UTC+07:00)Kobdo",  // 79
    "(UTC+07:00)Krasnoyarsk",  // 80
    "(UTC+07:00)Bangkok,Hanoi,Jakarta",  // 81
    "(UTC+08:00)Beijing,Chongqing,Hong Kong,Urumqi",  // 82
    "(UTC+08:00)Kuala Lumpur,Singapore",  // 83
    "(UTC+08:00)Perth",  // 84
    "(UTC+08:00)Taipei",  // 85
    "(UTC+08:00)Ulaanbaatar",  // 86
    "(UTC+08:00)Irkutsk",  // 87
    "(UTC+09:00)Pyongyang",  // 88
    "(UTC+09:00)Osaka,Sapporo,Tokyo",  // 89
    "(UTC+09:00)Seoul",  // 90
    "(UTC+09:00)Yakutsk",  // 91
    "(UTC+09:30)Adelaide",  // 92
    "(UTC+09:30)Darwin",  // 93
    "(UTC+10:00)Brisbane",  // 94
    "(UTC+10:00)Vladivostok",  // 95
    "(UTC+10:00)Guam,Port Moresby",  // 96
    "(UTC+10:00)Hobart",  // 97
    "(UTC+10:00)Canberra,Melbourne,Sydney",  // 98
    "(UTC+10:30)Lord Howe Island",  // 99
    "(UTC+11:00)Magadan",  // 100
    "(UTC+11:00)Solomon Is.,New Caledonia",  // 101
    "(UTC+12:00)Auckland,Wellington",  // 102
    "(UTC+12:00)Fiji",  // 103
    "(UTC+12:00)Coordinated Universal Time+12",  // 104
    "(UTC+12:45)Chatham Islands",  // 105
    "(UTC+13:00)Nuku'alofa",  // 106
    "(UTC+14:00)Christmas Island",  // 107
};

constexpr std::array<int, kDaylightSavingRowCount> kRuleRows = {
    3, 6, 8, 9, 11, 12, 14, 16, 19, 20, 21, 23,
    25, 26, 28, 29, 30, 31, 33, 38, 39, 40, 43, 44,
    45, 46, 47, 49, 50, 51, 53, 55, 56, 62, 92, 97,
    98, 99, 102, 103, 105,
};

static_assert(std::is_sorted(kRuleRows.begin(), kRuleRows.end()));

}  // namespace

const std::array<std::string_view, kTimeZoneCount>& TimeZoneNames()
{
    return kTimeZoneNames;
}

std::string_view TimeZoneName(int row)
{
    if (row < 0 || row >= kTimeZoneCount)
        return {};
    return kTimeZoneNames[static_cast<std::size_t>(row)];
}

const std::array<int, kDaylightSavingRowCount>& DaylightSavingRows()
{
    return kRuleRows;
}

bool HasDaylightSavingRule(int row)
{
    return std::binary_search(kRuleRows.begin(), kRuleRows.end(), row);
}

}  // namespace vorelle
