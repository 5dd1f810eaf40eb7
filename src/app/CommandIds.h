#pragma once

namespace vorelle {

// The main window's command ids: the menu items, and the commands that reach
// the window only from outside.
namespace command_id {
inline constexpr int About = 0x0010;
inline constexpr int BasicSettings = 32772;
inline constexpr int AlarmSettings = 32773;
inline constexpr int CalibrationSettings = 32774;
inline constexpr int SdCardRecordings = 32775;
inline constexpr int WebServer = 32776;       // outside only
inline constexpr int MaxMin = 32777;
inline constexpr int MobileNetwork = 32778;   // outside only
inline constexpr int FactoryReset = 32779;    // outside only
inline constexpr int RainfallTotals = 32780;
inline constexpr int HomeAutomation = 32790;  // a dialog of Vorelle 2's own
inline constexpr int Graph = 32781;           // `--show graph` only; the recordings dialog opens its own
inline constexpr int History = 32782;         // Recordings > History...
inline constexpr int KeepHistory = 32783;     // Recordings > Keep History Up to Date, checkable
}  // namespace command_id

// The private message by which another program offers a firmware update.
inline constexpr int kFirmwareOfferMessage = 0x07ED;

}  // namespace vorelle
