#include "support/CliRun.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <sstream>

namespace vorelle::test {
namespace {

namespace fs = std::filesystem;

// The lines of a recording the console has finished, its line ends dropped.
std::vector<std::string> WholeLines(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(text.substr(at, end - at - (end > at && text[end - 1] == '\r' ? 1 : 0)));
    return lines;
}

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');)
        fields.push_back(field);
    return fields;
}

TEST(CliHistoryTest, ASyncedMonthQueriesPerDayAsTheFetchedFilesSay)
{
    const TempFolder data;
    const std::string environment = "VORELLE2_DATA_DIR=" + data.Path().string();
    const CliRun sync = RunCli("history sync --simulate --card-days 30", false, environment);
    ASSERT_EQ(sync.status, 0) << sync.output;
    EXPECT_NE(sync.output.find("Recordings merged  90\n"), std::string::npos) << sync.output;

    // Each time's outdoor temperature, as the main recordings fetched into the data folder write it.
    std::map<std::string, double> outdoor;
    for (const fs::directory_entry& file : fs::directory_iterator(data.Path())) {
        if (!std::regex_match(file.path().filename().string(), std::regex("[0-9]{8}\\.csv")))
            continue;
        const std::vector<std::string> lines = WholeLines(ReadWhole(file.path()));
        const std::vector<std::string> header = Fields(lines.at(0));
        const auto column = std::find_if(header.begin(), header.end(),
                                         [](const std::string& title) { return title.starts_with("Outdoor Temp"); });
        ASSERT_NE(column, header.end()) << lines[0];
        for (std::size_t i = 1; i < lines.size(); ++i)
            outdoor[lines[i].substr(0, 16)] = std::stod(Fields(lines[i]).at(column - header.begin()));
    }
    struct Day {
        double lowest = 1e9, highest = -1e9, sum = 0;
        int count = 0;
    };
    std::map<std::string, Day> days;
    for (const auto& [time, value] : outdoor) {
        Day& day = days[time.substr(0, 10)];
        day.lowest = std::min(day.lowest, value);
        day.highest = std::max(day.highest, value);
        day.sum += value;
        ++day.count;
    }
    ASSERT_GE(days.size(), 30u);

    const CliRun query = RunCli("history query OutTemp 2000-01-01 2100-01-01 --every day --csv", false, environment);
    ASSERT_EQ(query.status, 0) << query.output;
    const std::vector<std::string> rows = WholeLines(query.output);
    ASSERT_EQ(rows.size(), days.size() + 1) << query.output;
    EXPECT_EQ(rows[0], "Start,Lowest,Highest,Mean,Count");
    auto expected = days.begin();
    for (std::size_t i = 1; i < rows.size(); ++i, ++expected) {
        const std::vector<std::string> got = Fields(rows[i]);
        SCOPED_TRACE(rows[i]);
        ASSERT_EQ(got.size(), 5u);
        EXPECT_EQ(got[0], expected->first + " 00:00:00");
        EXPECT_EQ(std::stod(got[1]), expected->second.lowest);
        EXPECT_EQ(std::stod(got[2]), expected->second.highest);
        EXPECT_NEAR(std::stod(got[3]), expected->second.sum / expected->second.count, 1e-5);
        EXPECT_EQ(std::stoi(got[4]), expected->second.count);
    }

    // The export holds every reading with a header of titles and units, or,
    // where it cannot be written, nothing.
    const fs::path exported = data.Path() / "export.csv";
    const std::string range = "history export --from 2000-01-01 --to 2100-01-01 --csv ";
    ASSERT_EQ(RunCli(range + exported.string(), false, environment).status, 0);
    const std::vector<std::string> lines = WholeLines(ReadWhole(exported));
    ASSERT_EQ(lines.size(), outdoor.size() + 1);
    EXPECT_TRUE(lines[0].starts_with("Time,Indoor Temperature (°C),Indoor Humidity (%),")) << lines[0];
    EXPECT_EQ(lines[1].substr(0, 16), outdoor.begin()->first);
    const fs::path unwritable = data.Path() / "no-such-folder" / "export.csv";
    EXPECT_EQ(RunCli(range + unwritable.string(), false, environment).status, 74);
    EXPECT_FALSE(fs::exists(unwritable.parent_path()));
}

}  // namespace
}  // namespace vorelle::test
