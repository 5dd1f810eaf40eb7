#include "cli/QueryCommand.h"

#include "cli/CommandLine.h"
#include "cli/RecordStoreOptions.h"
#include "store/RecordDatabase.h"

#include <cstdio>
#include <optional>

namespace vorelle {

namespace {

struct QueryOptions {
    std::vector<std::string> words;  // COLUMN START END
    CivilTime start;
    CivilTime end;
    std::string store;
    bool json = false;
};

// The command line's words as the query's column and range; what is wrong
// with them, if anything.
std::optional<std::string> ReadQueryWords(const CommandCall& call, QueryOptions& options)
{
    options.words = call.Words();
    options.store = call.Options().Value("--db");
    options.json = call.Options().Has("--json");
    if (options.words.size() != 3)
        return "expected a column, a start and an end";
    if (std::optional<std::string> problem = ReadCommandTime(options.words[1], options.start))
        return problem;
    return ReadCommandTime(options.words[2], options.end);
}

std::string OptionalText(const std::optional<double>& value, const char* none)
{
    return value ? ValueText(*value) : none;
}

struct Answer {
    std::optional<double> count;
    std::optional<double> max;
    std::optional<double> min;
    std::vector<std::pair<std::string, double>> rows;
};

// The three queries the graph runs.
bool Ask(const std::filesystem::path& store, const QueryOptions& options, Answer& answer)
{
    const std::string& column = options.words[0];
    const CivilTime& start = options.start;
    const CivilTime& end = options.end;
    StandardErrorMessages messages;
    const auto failed = [&messages](const std::string& error) {
        messages.Inform(error);
        return false;
    };
    StoreResult<RecordDatabase> db = RecordDatabase::Open(store);
    if (!db)
        return failed(db.Error());
    const StoreResult<std::uint64_t> count = db->QueryCount(column, start, end);
    if (!count)
        return failed(count.Error());
    answer.count = static_cast<double>(count.Value());
    const StoreResult<std::optional<ValueExtremes>> extremes = db->QueryMaxMin(column, start, end);
    if (!extremes)
        return failed(extremes.Error());
    if (extremes.Value()) {
        answer.max = extremes.Value()->max;
        answer.min = extremes.Value()->min;
    }
    const StoreResult<std::vector<StorePoint>> points = db->QueryRange(column, start, end);
    if (!points)
        return failed(points.Error());
    for (const StorePoint& point : points.Value())
        answer.rows.emplace_back(FormatRecordTime(CivilTimeAtStoreSeconds(point.seconds)), point.value);
    return true;
}

void PrintAnswer(const QueryOptions& options, const Answer& answer)
{
    if (options.json) {
        std::printf("{\n  \"column\": %s,\n  \"start\": %s,\n  \"end\": %s,\n", JsonQuoted(options.words[0]).c_str(),
                    JsonQuoted(options.words[1]).c_str(), JsonQuoted(options.words[2]).c_str());
        std::printf("  \"Count\": %s,\n  \"Max1\": %s,\n  \"Min1\": %s,\n  \"rows\": [",
                    OptionalText(answer.count, "null").c_str(), OptionalText(answer.max, "null").c_str(),
                    OptionalText(answer.min, "null").c_str());
        const char* separator = "\n";
        for (const auto& [time, value] : answer.rows) {
            std::printf("%s    [%s, %s]", separator, JsonQuoted(time).c_str(), ValueText(value).c_str());
            separator = ",\n";
        }
        std::printf("%s]\n}\n", answer.rows.empty() ? "" : "\n  ");
        return;
    }
    std::printf("Count  %s\nMax1   %s\nMin1   %s\n", OptionalText(answer.count, "NULL").c_str(),
                OptionalText(answer.max, "NULL").c_str(), OptionalText(answer.min, "NULL").c_str());
    for (const auto& [time, value] : answer.rows)
        std::printf("%s  %s\n", time.c_str(), ValueText(value).c_str());
}

int RunQuery(const CommandCall& call)
{
    QueryOptions options;
    if (const std::optional<std::string> problem = ReadQueryWords(call, options))
        return call.WrongLine(*problem);
    Answer answer;
    if (!Ask(RecordStorePath(options.store), options, answer))
        return kExitFailed;
    PrintAnswer(options, answer);
    return kExitDone;
}

}  // namespace

const CliCommand kQueryCommand = {
    "query",
    "COLUMN START END [--db PATH] [--json]",
    "count, extremes and readings of one column over a time range",
    "Asks the record store what the graph asks for one column over a time range:\n"
    "the number of readings (\"Count\"), the largest (\"Max1\") and the smallest\n"
    "(\"Min1\") value, and every reading in time order, its time as\n"
    "YYYY-MM-DD HH:MM:SS and its value. The range excludes START and includes END;\n"
    "readings whose COLUMN is missing (65535) are left out. Write START and END as\n"
    "the graph writes them, e.g. \"2024-01-31 0:00:00\"; a date written year last\n"
    "is read day or month first as the locale's date format (LC_TIME) has it, as\n"
    "the import reads it. COLUMN is one of the Records columns: Time, No, InHumi,\n"
    "OutHumi, WindDirection, UV, InTemp, OutTemp, Wind, Gust, DewPoint, WindChill,\n"
    "RelPressure, AbsPressure, Rain, RainHour, RainDay, RainWeek, RainMonth,\n"
    "RainYear, Light.",
    {kRecordStoreOption, {"--json", "", "print one JSON object"}},
    "The command only reads: the store is never changed, and may be read only.",
    {{kExitDone, "answered"},
     {kExitFailed, "the store or the query failed"},
     {kExitUsage, "a wrong command line (also a START or END that is not a time)"}},
    RunQuery,
};

}  // namespace vorelle
