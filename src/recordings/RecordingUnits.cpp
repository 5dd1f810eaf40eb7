#include "recordings/RecordingUnits.h"

#include "recordings/RecordingContent.h"

#include <string_view>

namespace vorelle {

namespace {

constexpr std::string_view kDegree = "\u00B0";

std::string LabelOf(const RecordingContent& content, std::size_t column)
{
    std::string_view title = content.Title(column);
    if (const std::size_t open = title.find('('); open != std::string_view::npos)
        title.remove_prefix(open);
    return content.Shown(title);
}

// Puts a degree sign before every `letter` that has none yet, so "(C)" reads
// "(°C)" and a header that already writes "(°C)" keeps it.
std::string WithDegrees(std::string_view label, char letter)
{
    std::string shown;
    for (std::size_t i = 0; i < label.size(); ++i) {
        if (label[i] == letter && !label.substr(0, i).ends_with(kDegree))
            shown += kDegree;
        shown += label[i];
    }
    return shown;
}

}  // namespace

UnitLabels UnitLabelsOf(const RecordingContent& content)
{
    UnitLabels labels;
    labels.temperature = WithDegrees(WithDegrees(LabelOf(content, 1), 'C'), 'F');
    labels.pressure = LabelOf(content, 3);
    labels.rain = LabelOf(content, 14);
    labels.wind = LabelOf(content, 9);
    labels.light = LabelOf(content, 12);
    return labels;
}

}  // namespace vorelle
