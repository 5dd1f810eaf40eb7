#pragma once

#include "messages/Messages.h"
#include "publish/ReadingJson.h"
#include "store/RecordTime.h"

#include <optional>
#include <string>

namespace vorelle {

// A stored value as short as it reads back exactly: float columns hold
// 32-bit values, so "21.3" rather than 21.299999237060547; whole numbers
// without a point.
std::string ValueText(double value);

// A time typed on the command line (`word`), read as the import reads a
// recording's times, into `time`; why it cannot be read, if it cannot.
std::optional<std::string> ReadCommandTime(const std::string& word, CivilTime& time);

// Messages for a program without windows: each text goes to standard error
// after "vorelle2-cli: ", and every question is answered OK.
class StandardErrorMessages final : public Messages {
public:
    MessageAnswer Show(const Message& message) override;
};

}  // namespace vorelle
