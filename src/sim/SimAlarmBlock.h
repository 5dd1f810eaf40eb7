#pragma once

#include "sim/SimItemBlock.h"

namespace vorelle {

// The console's alarm thresholds (CMD_READ_ALARM, CMD_WRITE_ALARM): some
// start unset, the rain thresholds are kept but not sent until a test puts
// them in the order, and the items go out in the console's order, not by id.
class SimAlarmBlock final : public SimItemBlock {
public:
    SimAlarmBlock();
};

}  // namespace vorelle
