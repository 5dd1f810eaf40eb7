#include "sim/SimCalibrationBlock.h"

namespace vorelle {

SimCalibrationBlock::SimCalibrationBlock()
    // Offsets in the console's units, signed: tenths of °C, %, tenths of hPa,
    // degrees; gains in percent.
    : SimItemBlock(
          {
              {1, {0x00, 0x0A}},   // indoor temperature +1.0 °C
              {2, {0x00, 0xFF}},   // outdoor temperature 255, shown as "--"
              {6, {0xF6}},         // indoor humidity -10 %
              {7, {0x03}},         // outdoor humidity +3 %
              {8, {0xFF, 0xE9}},   // absolute pressure -2.3 hPa
              {9, {0x00, 0x7D}},   // relative pressure +12.5 hPa
              {10, {0x00, 0xFF}},  // wind direction 255, shown as "--"
              {11, {100}},         // wind gain
              {13, {105}},         // rain gain
              {21, {98}},          // light gain
          },
          {1, 2, 6, 7, 8, 9, 10, 11, 13, 21})
{
}

}  // namespace vorelle
