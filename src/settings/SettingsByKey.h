#pragma once

#include "link/ConsoleLink.h"
#include "link/ReplyArea.h"
#include "live/LiveValues.h"
#include "settings/SettingsSave.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vorelle {

// The console's settings blocks as named keys and texts, for a script: each
// shown as its dialog shows it, and changed as its dialog's Save changes it.

enum class StationBlock { Basic, Alarm, Calibration, Rain, MaxMin };

struct StationBlockName {
    std::string_view name;
    StationBlock block;
    bool settable;  // the max/min records are only shown (and cleared)
};
inline constexpr StationBlockName kStationBlocks[] = {
    {"basic", StationBlock::Basic, true},  {"alarm", StationBlock::Alarm, true},
    {"calibration", StationBlock::Calibration, true}, {"rain", StationBlock::Rain, true},
    {"max-min", StationBlock::MaxMin, false},
};

// How a setting takes its value.
enum class SettingKind {
    Text,       // typed as into the dialog's field, and checked as its Save checks it
    Switch,     // a check box: "on" or "off"
    Choice,     // a list: one of its rows, written as the list shows it
    ShownOnly,  // shown by the dialog, never written
};

struct SettingKey {
    std::string key;
    SettingKind kind;
    std::vector<std::string_view> choices;  // a list's rows
};

// The keys of `block` in the order of its dialog.
std::vector<SettingKey> SettingKeys(StationBlock block);

// A block as the console sent it, with the latest reading and the display
// units its dialog shows it by.
struct StationBlockRead {
    StationBlock block = StationBlock::Basic;
    ReplyArea::Slot slot{};  // the block's reply; the rainfall totals have none
    LiveValues current;
};

// Reads the display units and `block` as the menu does before the block's
// dialog opens, and the latest reading where the dialog shows or checks by it
// (calibration, rainfall totals). Nothing when the console did not answer.
std::optional<StationBlockRead> ReadStationBlock(ConsoleLink& link, StationBlock block);

// One setting as the dialog shows it: its text, and the unit beside it.
struct ShownSetting {
    std::string key;
    std::string text;
    std::string unit;
};
std::vector<ShownSetting> ShowStationBlock(const StationBlockRead& read);

// Keys and the values typed for them.
using SettingsChange = std::vector<std::pair<std::string, std::string>>;

// What is wrong with a change before the console is asked.
struct ChangeProblem {
    std::string message;
    bool wrongKey = false;  // a key the block lacks, or one named twice; else a value no dialog could give
};
std::optional<ChangeProblem> CheckSettingsChange(StationBlock block, const SettingsChange& change);

// The dialog's Save with the fields of `change` typed and every other field
// left as shown, which keeps the console's own value: the same checks, the
// same messages, the screen check and the write. `change` passed
// CheckSettingsChange.
SaveOutcome SaveSettingsChange(ConsoleLink& link, const StationBlockRead& read, const SettingsChange& change);

}  // namespace vorelle
