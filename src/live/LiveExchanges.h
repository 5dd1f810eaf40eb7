#pragma once

#include "link/ConsoleLink.h"
#include "live/LiveReadings.h"

namespace vorelle {

// The unit codes in bytes 2 to 6 of a settings block (header included).
UnitCodes UnitCodesOfSettingsBlock(const ReplyArea::Slot& block);

// Reads the console's settings block into slot 1 and takes the display units
// from it. Does nothing unless connected. True when the console answered.
bool ReadSettings(ConsoleLink& link, LiveReadings& readings);

// Reads the live record and decodes it. When the console does not answer,
// the record of the previous reading, still in slot 0, is decoded again.
// True when the console answered.
bool ReadLive(ConsoleLink& link, LiveReadings& readings);

}  // namespace vorelle
