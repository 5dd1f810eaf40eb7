#include "cli/HistoryCommand.h"

#include "cli/CommandLine.h"
#include "cli/HistoryCommandLine.h"

#include <cinttypes>
#include <cstdio>

namespace vorelle {

namespace {

enum class QueryOutput { Text, Json, Csv };

struct HistoryQuery {
    std::string column;
    CivilTime from;
    CivilTime to;
    HistoryLevel level = HistoryLevel::Readings;
    RecordingLayout kind = RecordingLayout::Main;
    QueryOutput output = QueryOutput::Text;
};

std::optional<std::string> ReadHistoryQuery(const CommandCall& call, HistoryQuery& query)
{
    const std::vector<std::string>& words = call.Words();
    const OptionValues& options = call.Options();
    if (words.size() != 3)
        return "expected a column, a start and an end";
    query.column = words[0];
    if (!ValueColumnIndex(query.column))
        return "no column '" + query.column + "'; COLUMN is one of " + HistoryColumnList();
    if (std::optional<std::string> problem = ReadCommandTime(words[1], query.from))
        return problem;
    if (std::optional<std::string> problem = ReadCommandTime(words[2], query.to))
        return problem;
    const std::string every = options.Has("--every") ? options.Value("--every") : "minute";
    if (every == "hour")
        query.level = HistoryLevel::Hours;
    else if (every == "day")
        query.level = HistoryLevel::Days;
    else if (every != "minute")
        return "--every takes minute, hour or day";
    if (options.Has("--json") && options.Has("--csv"))
        return "say --json or --csv, not both";
    query.output = options.Has("--json") ? QueryOutput::Json
                   : options.Has("--csv") ? QueryOutput::Csv
                                          : QueryOutput::Text;
    return ReadHistoryKind(options, query.kind);
}

std::string TimeText(StoreSeconds seconds) { return FormatRecordTime(CivilTimeAtStoreSeconds(seconds)); }

void PrintReadings(const HistoryQuery& query, const std::vector<HistoryBucket>& readings)
{
    const char* separator = "\n";
    if (query.output == QueryOutput::Json)
        std::printf("[");
    else if (query.output == QueryOutput::Csv)
        std::printf("Time,%s\n", query.column.c_str());
    for (const HistoryBucket& reading : readings) {
        const std::string time = TimeText(reading.start);
        const std::string value = ValueText(reading.first);
        if (query.output == QueryOutput::Json)
            std::printf("%s  {\"time\": \"%s\", \"value\": %s}", separator, time.c_str(), value.c_str());
        else
            std::printf(query.output == QueryOutput::Csv ? "%s,%s\n" : "%s  %s\n", time.c_str(), value.c_str());
        separator = ",\n";
    }
    if (query.output == QueryOutput::Json)
        std::printf("%s]\n", readings.empty() ? "" : "\n");
}

void PrintBuckets(const HistoryQuery& query, const std::vector<HistoryBucket>& buckets)
{
    const char* separator = "\n";
    if (query.output == QueryOutput::Json)
        std::printf("[");
    else if (query.output == QueryOutput::Csv)
        std::printf("Start,Lowest,Highest,Mean,Count\n");
    for (const HistoryBucket& bucket : buckets) {
        const std::string start = TimeText(bucket.start);
        const std::string lowest = ValueText(bucket.lowest), highest = ValueText(bucket.highest);
        const std::string mean = ValueText(bucket.Mean());
        if (query.output == QueryOutput::Json)
            std::printf("%s  {\"start\": \"%s\", \"lowest\": %s, \"highest\": %s, \"mean\": %s, \"count\": %" PRIu64
                        "}",
                        separator, start.c_str(), lowest.c_str(), highest.c_str(), mean.c_str(), bucket.count);
        else
            std::printf(query.output == QueryOutput::Csv ? "%s,%s,%s,%s,%" PRIu64 "\n"
                                                          : "%s  %s  %s  %s  %" PRIu64 "\n",
                        start.c_str(), lowest.c_str(), highest.c_str(), mean.c_str(), bucket.count);
        separator = ",\n";
    }
    if (query.output == QueryOutput::Json)
        std::printf("%s]\n", buckets.empty() ? "" : "\n");
}

int RunHistoryQuery(const CommandCall& call)
{
    HistoryQuery query;
    if (const std::optional<std::string> problem = ReadHistoryQuery(call, query))
        return call.WrongLine(*problem);
    std::optional<HistoryStore> history = OpenFolderHistory("history query");
    if (!history)
        return kExitFailed;
    const StoreResult<std::vector<HistoryBucket>> buckets =
        history->Buckets(query.kind, query.column, query.level, query.from, query.to);
    if (!buckets) {
        call.Say(buckets.Error());
        return kExitFailed;
    }
    if (query.level == HistoryLevel::Readings)
        PrintReadings(query, buckets.Value());
    else
        PrintBuckets(query, buckets.Value());
    return kExitDone;
}

}  // namespace

const CliCommand kHistoryQueryCommand = {
    "history query",
    "COLUMN FROM TO [--every minute|hour|day]\n[--json|--csv] [--kind KIND]",
    "one column's readings, or what each hour or day comes to",
    "Reads one column of the history over a time range: every reading in time\n"
    "order, its time as YYYY-MM-DD HH:MM:SS and its value; with --every hour or\n"
    "--every day, per hour or day that has readings, its start, the lowest, the\n"
    "highest and the mean reading and how many there are. The range excludes\n"
    "FROM and includes TO, written as for query (\"2024-01-31 0:00:00\");\n"
    "readings whose COLUMN is missing are left out. COLUMN is one of the Records\n"
    "columns but Time: No, InHumi, OutHumi, WindDirection, UV, InTemp, OutTemp,\n"
    "Wind, Gust, DewPoint, WindChill, RelPressure, AbsPressure, Rain, RainHour,\n"
    "RainDay, RainWeek, RainMonth, RainYear, Light.",
    {
        {"--every", "STEP", "minute (every reading, the default), hour or day"},
        {"--json", "", "print a JSON array of objects"},
        {"--csv", "", "print comma-separated values: a header line, then a\nline a reading or interval"},
        kHistoryKindOption,
    },
    "An empty history answers with nothing.",
    {{kExitDone, "answered"}, {kExitFailed, "the history could not be opened or read"},
     {kExitUsage, "a wrong command line (also a FROM or TO that is not a time, or a\ncolumn that is not one)"}},
    RunHistoryQuery,
};

}  // namespace vorelle
