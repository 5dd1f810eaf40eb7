#include "sim/SimAlarmBlock.h"

namespace vorelle {

SimAlarmBlock::SimAlarmBlock()
    // Thresholds an owner might have set, in the console's units, each
    // followed by its on byte; 7F FF, FF FF and FF are "not set".
    : SimItemBlock(
          {
              {1, {0x01, 0x2C, 1, 0x00, 0x96, 0}},  // indoor 30.0 °C on, 15.0 °C off
              {2, {0x01, 0x5E, 1, 0xFF, 0x9C, 1}},  // outdoor 35.0 °C on, -10.0 °C on
              {3, {0x7F, 0xFF, 0, 0x7F, 0xFF, 0}},  // dew point: none
              {4, {0x01, 0x90, 0, 0xFF, 0xFF, 0}},  // feels like 40.0 °C off, low none
              {6, {70, 1, 30, 0}},                  // indoor humidity 70 % on, 30 % off
              {7, {95, 0, 0xFF, 0}},                // outdoor humidity 95 % off, low none
              {8, {0xFF, 0xFF, 0, 0x26, 0x48, 0}},  // absolute pressure: high none, 980.0 hPa off
              {9, {0x28, 0xA0, 0, 0x26, 0xAC, 1}},  // relative pressure 1040.0 hPa off, 990.0 hPa on
              {11, {0xFF, 0xFF, 0}},                // wind: none
              {12, {0x00, 0xC8, 1}},                // gust 20.0 m/s on
              {14, {0x00, 0x64, 0}},                // rain rate 10.0 mm/h off
              {16, {0xFF, 0xFF, 0}},                // daily rain: none
          },
          // The block is longer than one reply: the ten thresholds the dialog
          // shows fill 60 bytes, and the rain items after them are cut off.
          {9, 2, 12, 6, 4, 1, 11, 8, 7, 3, 14, 16})
{
}

}  // namespace vorelle
