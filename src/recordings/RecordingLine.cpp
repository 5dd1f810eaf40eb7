#include "recordings/RecordingLine.h"

#include "units/NumberText.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace vorelle {

TextLine LineAt(std::string_view text, std::size_t from)
{
    const void* feed = std::memchr(text.data() + from, '\n', text.size() - from);
    TextLine line;
    line.begin = from;
    line.end = feed ? static_cast<std::size_t>(static_cast<const char*>(feed) - text.data()) : text.size();
    line.next = feed ? line.end + 1 : text.size();
    if (line.end > line.begin && text[line.end - 1] == '\r')
        --line.end;
    return line;
}

void SplitFields(std::string_view line, std::span<std::uint32_t> ends)
{
    std::size_t at = 0;
    for (std::uint32_t& end : ends) {
        const void* comma = at < line.size() ? std::memchr(line.data() + at, ',', line.size() - at) : nullptr;
        const std::size_t stop = comma ? static_cast<std::size_t>(static_cast<const char*>(comma) - line.data())
                                       : line.size();
        end = static_cast<std::uint32_t>(stop);
        at = stop + 1;
    }
}

std::string_view FieldOf(std::string_view line, std::span<const std::uint32_t> ends, std::size_t index)
{
    if (index >= ends.size())
        return {};
    const std::size_t end = ends[index];
    // A field after the last comma starts one past the comma before it; a
    // field the line does not have starts and ends at the line's end.
    const std::size_t begin = index == 0 ? 0 : std::min<std::size_t>(ends[index - 1] + 1, end);
    return line.substr(begin, end - begin);
}

float ReadFloatField(std::string_view field)
{
    const std::optional<double> value = ReadWholeNumber(field);
    if (!value || !(std::fabs(*value) <= std::numeric_limits<float>::max()))
        return kMissingFloat;
    return static_cast<float>(*value);
}

std::int32_t ReadIntegerField(std::string_view field)
{
    const std::optional<double> value = ReadWholeNumber(field);
    // Truncation toward zero keeps everything above -2^31 - 1 and below 2^31.
    if (!value || !(*value > -2147483649.0 && *value < 2147483648.0))
        return kMissingValue;
    return static_cast<std::int32_t>(*value);
}

WeatherRecord RecordFromFields(RecordingLayout layout, std::span<const std::string_view> fields)
{
    WeatherRecord record = kNothingRecorded;
    for (const LayoutColumn& target : LayoutColumns(layout)) {
        const std::string_view field = target.column < fields.size() ? fields[target.column] : std::string_view();
        if (target.floatField)
            record.*target.floatField = ReadFloatField(field);
        else
            record.*target.integerField = ReadIntegerField(field);
    }
    return record;
}

}  // namespace vorelle
