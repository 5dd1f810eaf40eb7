#include "store/DesktopDateOrder.h"

#include <algorithm>
#include <clocale>
#include <string_view>

#include <langinfo.h>

namespace vorelle {

DateOrder DesktopDateOrder()
{
    std::setlocale(LC_TIME, "");
    const std::string_view format = nl_langinfo(D_FMT);
    const std::size_t month = std::min(format.find("%m"), format.find("%D"));
    const std::size_t day = std::min(format.find("%d"), format.find("%e"));
    return month < day ? DateOrder::MonthDayYear : DateOrder::DayMonthYear;
}

}  // namespace vorelle
