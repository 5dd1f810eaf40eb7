#include "cli/HistoryCommand.h"

#include "cli/CommandLine.h"
#include "cli/HistoryCommandLine.h"
#include "config/WholeFile.h"

#include <cinttypes>
#include <cstdio>
#include <span>

namespace vorelle {

namespace {

constexpr std::size_t kExportPiece = 1 << 20;

enum class ExportUnit { None, Percent, Temperature, Pressure, Wind, Rain, Light };

// A column of the export: the history's column, and its title and unit as
// the console's recordings head it.
struct ExportColumn {
    std::string_view column;
    std::string_view title;
    ExportUnit unit;
};

constexpr ExportColumn kMainExport[] = {
    {"InTemp", "Indoor Temperature", ExportUnit::Temperature},
    {"InHumi", "Indoor Humidity", ExportUnit::Percent},
    {"RelPressure", "Relative Pressure", ExportUnit::Pressure},
    {"AbsPressure", "Absolute Pressure", ExportUnit::Pressure},
    {"OutTemp", "Outdoor Temperature", ExportUnit::Temperature},
    {"OutHumi", "Outdoor Humidity", ExportUnit::Percent},
    {"DewPoint", "Dew Point", ExportUnit::Temperature},
    {"WindChill", "Feels Like", ExportUnit::Temperature},
    {"Wind", "Wind Speed", ExportUnit::Wind},
    {"Gust", "Gust Speed", ExportUnit::Wind},
    {"Light", "Light", ExportUnit::Light},
    {"UV", "UV Index", ExportUnit::None},
    {"Rain", "Hourly Rain", ExportUnit::Rain},
    {"RainDay", "Daily Rain", ExportUnit::Rain},
    {"RainWeek", "Weekly Rain", ExportUnit::Rain},
    {"RainMonth", "Monthly Rain", ExportUnit::Rain},
    {"RainYear", "Yearly Rain", ExportUnit::Rain},
};
// A channel recording's readings are kept in the indoor columns.
constexpr ExportColumn kChannelExport[] = {
    {"InTemp", "Temperature", ExportUnit::Temperature},
    {"InHumi", "Humidity", ExportUnit::Percent},
    {"DewPoint", "Dew Point", ExportUnit::Temperature},
    {"WindChill", "Feels Like", ExportUnit::Temperature},
};
constexpr ExportColumn kSoilExport[] = {{"InHumi", "Soil Moisture", ExportUnit::Percent}};

std::span<const ExportColumn> ExportColumns(RecordingLayout kind)
{
    switch (kind) {
    case RecordingLayout::Channel: return kChannelExport;
    case RecordingLayout::Soil: return kSoilExport;
    case RecordingLayout::Main: break;
    }
    return kMainExport;
}

std::string UnitLabel(ExportUnit unit, const UnitLabels& labels)
{
    switch (unit) {
    case ExportUnit::Percent: return "(%)";
    case ExportUnit::Temperature: return labels.temperature;
    case ExportUnit::Pressure: return labels.pressure;
    case ExportUnit::Wind: return labels.wind;
    case ExportUnit::Rain: return labels.rain;
    case ExportUnit::Light: return labels.light;
    case ExportUnit::None: break;
    }
    return {};
}

// A field as a spreadsheet reads it: quoted when it holds a comma or a quote.
std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string ExportHeader(std::span<const ExportColumn> columns, const UnitLabels& labels)
{
    std::string header = "Time";
    for (const ExportColumn& column : columns) {
        const std::string unit = UnitLabel(column.unit, labels);
        header += "," + CsvField(std::string(column.title) + (unit.empty() ? "" : " " + unit));
    }
    return header + "\n";
}

// "YYYY-MM-DD HH:MM", as the console's recordings write their times.
std::string MinuteText(StoreSeconds seconds)
{
    const CivilTime t = CivilTimeAtStoreSeconds(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", t.year, t.month, t.day, t.hour, t.minute);
    return text;
}

struct ExportRequest {
    CivilTime from;
    CivilTime to;
    RecordingLayout kind = RecordingLayout::Main;
    std::string file;
};

std::optional<std::string> ReadExportRequest(const CommandCall& call, ExportRequest& request)
{
    const OptionValues& options = call.Options();
    if (!call.Words().empty())
        return "unexpected '" + call.Words().front() + "'";
    if (!options.Has("--from") || !options.Has("--to") || !options.Has("--csv"))
        return "expected --from, --to and --csv";
    if (std::optional<std::string> problem = ReadCommandTime(options.Value("--from"), request.from))
        return problem;
    if (std::optional<std::string> problem = ReadCommandTime(options.Value("--to"), request.to))
        return problem;
    request.file = options.Value("--csv");
    if (request.file.empty())
        return "--csv takes the file to write";
    return ReadHistoryKind(options, request.kind);
}

int RunHistoryExport(const CommandCall& call)
{
    ExportRequest request;
    if (const std::optional<std::string> problem = ReadExportRequest(call, request))
        return call.WrongLine(*problem);
    std::optional<HistoryStore> history = OpenFolderHistory("history export");
    if (!history)
        return kExitFailed;
    const StoreResult<UnitLabels> labels = history->Units(request.kind);
    if (!labels) {
        call.Say(labels.Error());
        return kExitFailed;
    }
    // Written whole or not at all: a failed export leaves no part of a file.
    WholeFileWriter out(request.file);
    if (!out.Ok()) {
        call.Say(out.Error());
        return kExitOutputLost;
    }
    const std::span<const ExportColumn> columns = ExportColumns(request.kind);
    std::vector<std::size_t> places;
    for (const ExportColumn& column : columns)
        places.push_back(*ValueColumnIndex(column.column) - kFirstValueColumn);
    std::string text = ExportHeader(columns, labels.Value());
    std::uint64_t rows = 0;
    const StoreStatus read =
        history->EachReading(request.kind, request.from, request.to, [&](StoreSeconds at, const ReadingValues& values) {
            text += MinuteText(at);
            for (const std::size_t place : places)
                text += values[place] ? "," + ValueText(*values[place]) : std::string(",");
            text += '\n';
            ++rows;
            // Years of readings go out a piece at a time (the writer keeps a failure).
            if (text.size() >= kExportPiece) {
                out.Write(text);
                text.clear();
            }
        });
    if (!read) {
        call.Say(read.Error());
        return kExitFailed;
    }
    using std::filesystem::perms;
    const perms readable = perms::owner_read | perms::owner_write | perms::group_read | perms::others_read;
    if (!out.Write(text) || !out.Commit(readable)) {
        call.Say(out.Error());
        return kExitOutputLost;
    }
    std::printf("%" PRIu64 " readings written to %s\n", rows, request.file.c_str());
    return kExitDone;
}

}  // namespace

const CliCommand kHistoryExportCommand = {
    "history export",
    "--from TIME --to TIME [--kind KIND] --csv FILE",
    "every column of the readings in a range, as a CSV file",
    "Writes the history's readings of one kind of recording from --from to --to\n"
    "(excluding --from, including --to) into FILE as comma-separated values: a\n"
    "header line with each column's title and unit (\"Outdoor Temperature (°C)\",\n"
    "the units of the newest recording merged), then a line a reading, its time\n"
    "as YYYY-MM-DD HH:MM and every column, a missing reading left empty. FILE is\n"
    "written whole or not at all.",
    {
        {"--from", "TIME", "the range's start, written as for query"},
        {"--to", "TIME", "the range's end"},
        kHistoryKindOption,
        {"--csv", "FILE", "the file to write (replaced when it is there)"},
    },
    {},
    {{kExitDone, "written"},
     {kExitFailed, "the history could not be opened or read"},
     {kExitOutputLost, "FILE could not be written (nothing of it was)"}},
    RunHistoryExport,
};

}  // namespace vorelle
