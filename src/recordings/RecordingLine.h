#pragma once

#include "store/RecordingLayout.h"
#include "store/WeatherRecord.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace vorelle {

// Reading the text of a recording: lines, fields and field values. A
// recording is CSV without quoting: a header of column titles, then one line
// per reading; column 0 is the date and time, the others are numbers, "--"
// where a sensor gave nothing.

// At most this many columns are read; a header's further columns, and a
// line's fields beyond its header's columns, are ignored.
inline constexpr std::size_t kMaxRecordingColumns = 30;

// One line of `text`: [begin, end) without its line feed and a carriage
// return before it; `next` is where the following line begins.
struct TextLine {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t next = 0;
};

// The line that starts at `from` (which must be below text.size()).
TextLine LineAt(std::string_view text, std::size_t from);

// Splits `line` at commas into ends.size() fields: ends[i] is the offset in
// `line` where field i ends. Fields a short line does not have end at the
// line's end and are empty.
void SplitFields(std::string_view line, std::span<std::uint32_t> ends);

// Field `index` of a line split by SplitFields.
std::string_view FieldOf(std::string_view line, std::span<const std::uint32_t> ends, std::size_t index);

// A number for a float column, or kMissingFloat when the field is not one
// number (a sensor's "--", an empty or garbled field) or does not fit a
// 32-bit float.
float ReadFloatField(std::string_view field);

// A number for an integer column, truncated toward zero, or kMissingValue
// when the field is not one number or does not fit 32 bits.
std::int32_t ReadIntegerField(std::string_view field);

// The record of one reading from its line's fields, by the layout's columns
// (fields[0], the time, is not read here). A column the line does not have,
// or whose field is not a number, is stored as missing; so is every reading
// the layout does not carry (kNothingRecorded). The time is left 0.
WeatherRecord RecordFromFields(RecordingLayout layout, std::span<const std::string_view> fields);

}  // namespace vorelle
