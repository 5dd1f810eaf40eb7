#include "store/StoredRecording.h"

#include "store/RecordDatabase.h"

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

StoreStatus NoteStoredRecording(RecordDatabase& store, const StoredRecording& recording)
{
    StoreStatus noted = store.SetParam(kNameParam, recording.name);
    for (const auto& [name, label] : LabelParams(recording.labels)) {
        if (noted)
            noted = store.SetParam(name, *label);
    }
    return noted;
}

StoreResult<StoredRecording> StoredRecordingOf(RecordDatabase& store)
{
    StoredRecording recording;
    StoreResult<std::optional<std::string>> name = store.Param(kNameParam);
    if (!name)
        return name.TakeError();
    recording.name = name->value_or("");
    for (const auto& [param, label] : LabelParams(recording.labels)) {
        StoreResult<std::optional<std::string>> value = store.Param(param);
        if (!value)
            return value.TakeError();
        *label = value->value_or("");
    }
    return recording;
}

}  // namespace vorelle
