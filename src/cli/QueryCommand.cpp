#include "cli/QueryCommand.h"

#include "cli/CommandLine.h"
#include "cli/RecordStoreOptions.h"
#include "store/RecordDatabase.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <optional>

namespace vorelle {

namespace {

constexpr const char* kQueryUsage =
    "Usage: vorelle2-cli query COLUMN START END [--db PATH] [--json]\n"
    "\n"
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
    "RainYear, Light.\n"
    "\n"
    "  --db PATH     the record store (default: QM710.db in the data folder,\n"
    "                ~/.local/share/Vorelle2 or VORELLE2_DATA_DIR)\n"
    "  --json        print one JSON object\n"
    "  -h, --help    show this help and exit\n"
    "\n"
    "The command only reads: the store is never changed, and may be read only.\n"
    "\n"
    "Exit status: 0 answered, 1 the store or the query failed, 64 for a wrong\n"
    "command line (also a START or END that is not a time).\n";

struct QueryOptions {
    std::vector<std::string> words;  // COLUMN START END
    CivilTime start;
    CivilTime end;
    std::string store;
    bool json = false;
    bool help = false;
};

bool ParseOptions(const std::vector<std::string>& args, QueryOptions& options, std::string& error)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--db" && i + 1 < args.size() && !args[i + 1].empty()) {
            options.store = args[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option '" + arg + "', or one without its value";
            return false;
        } else {
            options.words.push_back(arg);
        }
    }
    if (options.help)
        return true;
    if (options.words.size() != 3) {
        error = "expected a column, a start and an end";
        return false;
    }
    // The bounds are read as the import reads a recording's times.
    const DateOrder order = DesktopDateOrder();
    for (const auto& [word, time] : {std::pair{options.words[1], &options.start}, {options.words[2], &options.end}}) {
        const std::optional<CivilTime> read = ParseRecordTime(word, order);
        if (!read) {
            error = UnreadableTimeText(word);
            return false;
        }
        *time = *read;
    }
    return true;
}

// A stored value as short as it reads back exactly: float columns hold
// 32-bit values, so "21.3" rather than 21.299999237060547; whole numbers
// without a point.
std::string ValueText(double value)
{
    std::array<char, 64> text;
    const float narrow = static_cast<float>(value);
    const auto written = static_cast<double>(narrow) == value
                             ? std::to_chars(text.data(), text.data() + text.size(), narrow)
                             : std::to_chars(text.data(), text.data() + text.size(), value);
    return std::string(text.data(), written.ptr);
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
        std::printf("{\n  \"column\": %s,\n  \"start\": %s,\n  \"end\": %s,\n", JsonString(options.words[0]).c_str(),
                    JsonString(options.words[1]).c_str(), JsonString(options.words[2]).c_str());
        std::printf("  \"Count\": %s,\n  \"Max1\": %s,\n  \"Min1\": %s,\n  \"rows\": [",
                    OptionalText(answer.count, "null").c_str(), OptionalText(answer.max, "null").c_str(),
                    OptionalText(answer.min, "null").c_str());
        const char* separator = "\n";
        for (const auto& [time, value] : answer.rows) {
            std::printf("%s    [%s, %s]", separator, JsonString(time).c_str(), ValueText(value).c_str());
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

}  // namespace

int RunQuery(const std::vector<std::string>& args)
{
    QueryOptions options;
    std::string error;
    if (!ParseOptions(args, options, error)) {
        std::fprintf(stderr, "vorelle2-cli query: %s\n\n%s", error.c_str(), kQueryUsage);
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(kQueryUsage, stdout);
        return 0;
    }
    Answer answer;
    if (!Ask(RecordStorePath(options.store), options, answer))
        return 1;
    PrintAnswer(options, answer);
    return 0;
}

}  // namespace vorelle
