#include "cli/ReadingOutput.h"

#include "board/BoardTexts.h"
#include "publish/ReadingJson.h"

#include <algorithm>
#include <cstdio>

namespace vorelle {

namespace {

bool Flushed() { return std::fflush(stdout) == 0 && !std::ferror(stdout); }

}  // namespace

void PrintReadingLines(const LiveReadings::Snapshot& reading)
{
    std::size_t width = 0;
    const std::vector<QuantityReading> quantities = QuantityReadings(reading);
    for (const QuantityReading& q : quantities)
        width = std::max(width, q.name.size());
    for (const QuantityReading& q : quantities)
        std::printf("%-*s  %s\n", static_cast<int>(width), q.name.c_str(), q.text.c_str());
}

bool PrintFollowedReading(const LiveReadings::Snapshot& reading, bool json)
{
    if (json) {
        std::printf("%s\n", FollowJsonLine({reading, reading.takenAt}).c_str());
    } else {
        std::printf("%s\n", UtcTimeText(reading.takenAt).c_str());
        PrintReadingLines(reading);
        std::printf("\n");
    }
    return Flushed();
}

bool PrintConsoleStatus(bool connected, bool json)
{
    const std::string now = UtcTimeText(std::chrono::system_clock::now());
    const char* word = connected ? "Connected" : "Unconnected";
    if (json)
        std::printf("{\"time\": %s, \"status\": \"%s\"}\n", JsonQuoted(now).c_str(), word);
    else
        std::printf("%s %s\n", now.c_str(), word);
    return Flushed();
}

}  // namespace vorelle
