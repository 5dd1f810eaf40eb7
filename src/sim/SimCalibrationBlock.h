#pragma once

#include "sim/SimItemBlock.h"

namespace vorelle {

// The console's calibration (CMD_READ_CALIB, CMD_WRITE_CALIB): all ten items
// in id order, with a humidity offset of -10 (F6) and two offsets of 255,
// and the gains of wind, rain and light, which a write without them leaves
// as they are.
class SimCalibrationBlock final : public SimItemBlock {
public:
    SimCalibrationBlock();
};

}  // namespace vorelle
