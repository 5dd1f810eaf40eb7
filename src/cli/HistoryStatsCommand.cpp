#include "cli/HistoryCommand.h"

#include "cli/CommandLine.h"
#include "cli/HistoryCommandLine.h"
#include "store/MonthSummary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vorelle {

namespace {

// A figure to the hundredth, as short as that allows ("12.5", not "12.50" or
// 12.499999523); none as `missing`.
std::string FigureText(const std::optional<double>& value, const char* missing)
{
    return value ? ValueText(std::round(*value * 100.0) / 100.0) : missing;
}

// YYYY-MM, a month from 1900 to 9999.
bool ReadMonth(const std::string& text, int& year, int& month)
{
    if (text.size() != 7 || text[4] != '-')
        return false;
    for (const std::size_t at : {0, 1, 2, 3, 5, 6})
        if (text[at] < '0' || text[at] > '9')
            return false;
    year = std::stoi(text.substr(0, 4));
    month = std::stoi(text.substr(5, 2));
    return year >= 1900 && month >= 1 && month <= 12;
}

struct Figures {
    std::string label;
    std::optional<double> highest, lowest, mean, rain, highestGust;
};

void PrintJson(const MonthWeather& weather, const UnitLabels& units, const std::vector<Figures>& rows)
{
    const auto object = [](const Figures& f) {
        return "\"highest\": " + FigureText(f.highest, "null") + ", \"lowest\": " + FigureText(f.lowest, "null") +
               ", \"mean\": " + FigureText(f.mean, "null") + ", \"rain\": " + FigureText(f.rain, "null") +
               ", \"highestGust\": " + FigureText(f.highestGust, "null");
    };
    std::printf("{\n  \"month\": \"%04d-%02d\",\n  \"units\": {\"temperature\": %s, \"rain\": %s, \"wind\": %s},\n"
                "  \"days\": [",
                weather.year, weather.month, JsonQuoted(units.temperature).c_str(), JsonQuoted(units.rain).c_str(),
                JsonQuoted(units.wind).c_str());
    for (std::size_t i = 0; i + 1 < rows.size(); ++i)
        std::printf("%s\n    {\"day\": %s, %s}", i == 0 ? "" : ",", rows[i].label.c_str(), object(rows[i]).c_str());
    std::printf("\n  ],\n  \"totals\": {%s}\n}\n", object(rows.back()).c_str());
}

// The columns `text` takes on a terminal: its UTF-8 characters ("°C" is two).
std::size_t Columns(const std::string& text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

void PrintTable(const UnitLabels& units, const std::vector<Figures>& rows)
{
    const std::string t = units.temperature.empty() ? "" : " " + units.temperature;
    const std::vector<std::string> heads = {"Day",          "Highest" + t, "Lowest" + t,
                                            "Mean" + t,     "Rain" + (units.rain.empty() ? "" : " " + units.rain),
                                            "Highest gust" + (units.wind.empty() ? "" : " " + units.wind)};
    std::vector<std::vector<std::string>> cells = {heads};
    for (const Figures& f : rows)
        cells.push_back({f.label, FigureText(f.highest, "-"), FigureText(f.lowest, "-"), FigureText(f.mean, "-"),
                         FigureText(f.rain, "-"), FigureText(f.highestGust, "-")});
    std::vector<std::size_t> widths(heads.size(), 0);
    for (const auto& line : cells)
        for (std::size_t i = 0; i < line.size(); ++i)
            widths[i] = std::max(widths[i], Columns(line[i]));
    for (const auto& line : cells) {
        std::string text;
        for (std::size_t i = 0; i < line.size(); ++i) {
            // The day on the left, the figures under their heads on the right.
            const std::string pad(widths[i] - Columns(line[i]), ' ');
            text += i == 0 ? line[i] + pad : "  " + pad + line[i];
        }
        std::printf("%s\n", text.c_str());
    }
}

int RunHistoryStats(const CommandCall& call)
{
    if (!call.Words().empty())
        return call.WrongLine("unexpected '" + call.Words().front() + "'");
    int year = 0, month = 0;
    if (!call.Options().Has("--month") || !ReadMonth(call.Options().Value("--month"), year, month))
        return call.WrongLine("--month takes a month as YYYY-MM, e.g. 2024-03");
    std::optional<HistoryStore> history = OpenFolderHistory("history stats");
    if (!history)
        return kExitFailed;
    const StoreResult<MonthWeather> weather = SummariseMonth(*history, year, month);
    const StoreResult<UnitLabels> units = history->Units(RecordingLayout::Main);
    if (!weather || !units) {
        call.Say(weather ? units.Error() : weather.Error());
        return kExitFailed;
    }
    std::vector<Figures> rows;
    for (const DayWeather& d : weather->days)
        rows.push_back({std::to_string(d.day), d.highest, d.lowest, d.mean, d.rain, d.highestGust});
    const MonthWeather& m = weather.Value();
    rows.push_back({"Month", m.highest, m.lowest, m.mean, m.rain, m.highestGust});
    if (call.Options().Has("--json"))
        PrintJson(m, units.Value(), rows);
    else
        PrintTable(units.Value(), rows);
    return kExitDone;
}

}  // namespace

const CliCommand kHistoryStatsCommand = {
    "history stats",
    "--month YYYY-MM [--json]",
    "a month's weather: each day's and the month's figures",
    "Summarises a month of the history's main readings: per day, the highest,\n"
    "the lowest and the mean outdoor temperature, the rain and the highest gust;\n"
    "then the month's highest, lowest and mean temperature, its rain (the sum of\n"
    "its days') and its highest gust; in the units of the newest recording\n"
    "merged, to the hundredth. A figure without readings prints as \"-\" (null\n"
    "with --json).",
    {{"--month", "YYYY-MM", "the month"}, {"--json", "", "print one JSON object"}},
    {},
    {{kExitDone, "summarised"}, {kExitFailed, "the history could not be opened or read"}},
    RunHistoryStats,
};

}  // namespace vorelle
