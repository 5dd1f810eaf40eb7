#pragma once

#include "store/RecordTime.h"

namespace vorelle {

// The desktop's order of day and month, read from the locale's date format
// (LC_TIME): month first when "%m" (or "%D") comes before the day. Sets the
// process's LC_TIME from the environment, so call it where no other thread
// reads the locale meanwhile (the UI thread, or a command's start).
DateOrder DesktopDateOrder();

}  // namespace vorelle
