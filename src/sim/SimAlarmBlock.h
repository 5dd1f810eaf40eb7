#pragma once

#include "sim/SimItemBlock.h"

namespace vorelle {

// The console's alarm thresholds (CMD_READ_ALARM, CMD_WRITE_ALARM): some
// start unset, the items go out in the console's order, not by id, and the
// rain thresholds come last, where the reply cuts them off.
class SimAlarmBlock final : public SimItemBlock {
public:
    SimAlarmBlock();
};

}  // namespace vorelle
