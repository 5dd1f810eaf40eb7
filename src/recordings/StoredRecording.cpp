#include "recordings/StoredRecording.h"

#include "records/RecordDatabase.h"

#include <array>
#include <utility>

namespace vorelle {

namespace {

constexpr std::string_view kNameParam = "RecordingName";

// The Param names of the unit labels, with the label each holds.
template <class Labels>
auto LabelParams(Labels& labels)
{
    return std::array{
        std::pair{std::string_view("TemperatureUnit"), &labels.temperature},
        std::pair{std::string_view("PressureUnit"), &labels.pressure},
        std::pair{std::string_view("RainUnit"), &labels.rain},
        std::pair{std::string_view("WindUnit"), &labels.wind},
        std::pair{std::string_view("LightUnit"), &labels.light},
    };
}

}  // namespace

int NoteStoredRecording(RecordDatabase& store, const StoredRecording& recording)
{
    if (const int status = store.SetParam(kNameParam, recording.name); status != 0)
        return status;
    for (const auto& [name, label] : LabelParams(recording.labels)) {
        if (const int status = store.SetParam(name, *label); status != 0)
            return status;
    }
    return 0;
}

StoredRecording StoredRecordingOf(RecordDatabase& store)
{
    StoredRecording recording;
    recording.name = store.Param(kNameParam).value_or("");
    for (const auto& [name, label] : LabelParams(recording.labels))
        *label = store.Param(name).value_or("");
    return recording;
}

}  // namespace vorelle
