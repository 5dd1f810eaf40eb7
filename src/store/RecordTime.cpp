#include "store/RecordTime.h"

#include <cmath>
#include <cstdio>

namespace vorelle {

namespace {

constexpr int kFirstYear = 1900;
constexpr int kLastYear = 9999;
constexpr int kSecondsPerDay = 86400;
// Days from 1 January 1970 back to the automation dates' day zero.
constexpr long long kAutomationEpochOffset = 25569;

// Days since 1 January 1970 of a proleptic Gregorian date (after Howard
// Hinnant's days_from_civil).
long long DaysFromCivil(long long year, unsigned month, unsigned day)
{
    year -= month <= 2 ? 1 : 0;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<long long>(dayOfEra) - 719468;
}

// The inverse of DaysFromCivil.
CivilTime CivilFromDays(long long days)
{
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;
    CivilTime time;
    time.day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    time.month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    time.year = static_cast<int>(static_cast<long long>(yearOfEra) + era * 400 + (time.month <= 2 ? 1 : 0));
    return time;
}

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// Reads the text left to right; each Take fails without moving on a mismatch.
class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    // One to `maxDigits` decimal digits; sets `digits` to how many were read.
    bool TakeNumber(int maxDigits, int& value, int& digits)
    {
        value = 0;
        digits = 0;
        while (at_ < text_.size() && digits < maxDigits && text_[at_] >= '0' && text_[at_] <= '9') {
            value = value * 10 + (text_[at_] - '0');
            ++at_;
            ++digits;
        }
        return digits > 0 && !NextIsDigit();
    }
    bool TakeNumber(int maxDigits, int& value)
    {
        int digits = 0;
        return TakeNumber(maxDigits, value, digits);
    }
    bool Take(char c)
    {
        if (at_ >= text_.size() || text_[at_] != c)
            return false;
        ++at_;
        return true;
    }
    bool TakeDateSeparator(char& separator)
    {
        if (at_ >= text_.size() || (text_[at_] != '-' && text_[at_] != '/' && text_[at_] != '.'))
            return false;
        separator = text_[at_++];
        return true;
    }
    // Returns how many blanks were skipped.
    std::size_t SkipBlanks()
    {
        const std::size_t from = at_;
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t'))
            ++at_;
        return at_ - from;
    }
    bool AtEnd() const { return at_ == text_.size(); }

private:
    bool NextIsDigit() const { return at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9'; }

    std::string_view text_;
    std::size_t at_ = 0;
};

bool ReadDate(Scanner& in, DateOrder order, CivilTime& time)
{
    int first = 0;
    int firstDigits = 0;
    int second = 0;
    int third = 0;
    int thirdDigits = 0;
    char separator = 0;
    if (!in.TakeNumber(4, first, firstDigits) || !in.TakeDateSeparator(separator) || !in.TakeNumber(2, second) ||
        !in.Take(separator) || !in.TakeNumber(4, third, thirdDigits))
        return false;
    if (firstDigits == 4 && thirdDigits <= 2) {
        time.year = first;
        time.month = second;
        time.day = third;
    } else if (firstDigits <= 2 && thirdDigits == 4) {
        time.year = third;
        time.day = order == DateOrder::DayMonthYear ? first : second;
        time.month = order == DateOrder::DayMonthYear ? second : first;
    } else {
        return false;
    }
    return time.year >= kFirstYear && time.year <= kLastYear && time.month >= 1 && time.month <= 12 &&
           time.day >= 1 && time.day <= DaysInMonth(time.year, time.month);
}

bool ReadClock(Scanner& in, CivilTime& time)
{
    if (!in.TakeNumber(2, time.hour) || !in.Take(':') || !in.TakeNumber(2, time.minute))
        return false;
    if (in.Take(':') && !in.TakeNumber(2, time.second))
        return false;
    return time.hour <= 23 && time.minute <= 59 && time.second <= 59;
}

}  // namespace

double AutomationDate(const CivilTime& time)
{
    const long long days = DaysFromCivil(time.year, static_cast<unsigned>(time.month), static_cast<unsigned>(time.day)) +
                           kAutomationEpochOffset;
    const int seconds = time.hour * 3600 + time.minute * 60 + time.second;
    return static_cast<double>(days) + static_cast<double>(seconds) / kSecondsPerDay;
}

CivilTime CivilTimeOf(double automationDate)
{
    const double first = AutomationDate({kFirstYear, 1, 1, 0, 0, 0});
    const double last = AutomationDate({kLastYear, 12, 31, 23, 59, 59});
    if (!(automationDate >= first))
        return CivilTimeOf(first);
    if (automationDate > last)
        return CivilTimeOf(last);
    long long days = static_cast<long long>(std::floor(automationDate));
    long long seconds = std::llround((automationDate - static_cast<double>(days)) * kSecondsPerDay);
    if (seconds >= kSecondsPerDay) {
        ++days;
        seconds -= kSecondsPerDay;
    }
    CivilTime time = CivilFromDays(days - kAutomationEpochOffset);
    time.hour = static_cast<int>(seconds / 3600);
    time.minute = static_cast<int>(seconds / 60 % 60);
    time.second = static_cast<int>(seconds % 60);
    return time;
}

std::optional<StoreSeconds> StoreSecondsOf(const CivilTime& time)
{
    // The calendar function takes any numbers; a time is real when it comes
    // back unchanged from the seconds it gives.
    const double date = AutomationDate(time);
    if (!std::isfinite(date) || !(CivilTimeOf(date) == time))
        return std::nullopt;
    return std::llround(date * kSecondsPerDay);
}

StoreSeconds StoreSecondsAt(double automationDate)
{
    return std::llround(automationDate * kSecondsPerDay);
}

CivilTime CivilTimeAtStoreSeconds(StoreSeconds seconds)
{
    return CivilTimeOf(static_cast<double>(seconds) / kSecondsPerDay);
}

std::optional<CivilTime> ParseRecordTime(std::string_view text, DateOrder order)
{
    Scanner in(text);
    CivilTime time;
    in.SkipBlanks();
    if (!ReadDate(in, order, time))
        return std::nullopt;
    if (in.SkipBlanks() > 0 && !in.AtEnd() && !ReadClock(in, time))
        return std::nullopt;
    in.SkipBlanks();
    if (!in.AtEnd())
        return std::nullopt;
    return time;
}

std::string FormatRecordTime(const CivilTime& time)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", time.year, time.month, time.day, time.hour,
                  time.minute, time.second);
    return text;
}

std::string UnreadableTimeText(std::string_view text)
{
    return "'" + std::string(text) +
           "' is not a date and time; write it year first, as \"2024-01-31 0:00:00\", or with the four-digit year "
           "last and day and month in the order of your desktop's dates";
}

}  // namespace vorelle
