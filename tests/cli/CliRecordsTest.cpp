#include "store/DataFolder.h"
#include "store/HistoryStore.h"
#include "support/CliRun.h"
#include "support/RecordStoreTesting.h"
#include "support/RecordingGenerator.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace vorelle::test {
namespace {

namespace fs = std::filesystem;

std::string Quoted(const fs::path& path)
{
    return "'" + path.string() + "'";
}

// The JSON number or null after `"key": `.
std::optional<double> JsonNumber(const std::string& json, const std::string& key)
{
    const std::regex pattern("\"" + key + "\": (null|[-0-9.e+]+)");
    std::smatch match;
    if (!std::regex_search(json, match, pattern) || match[1] == "null")
        return std::nullopt;
    return std::stod(match[1]);
}

std::vector<StoredReading> JsonRows(const std::string& json)
{
    static const std::regex row(R"re(\["([^"]+)", ([-0-9.e+]+)\])re");
    std::vector<StoredReading> rows;
    for (std::sregex_iterator it(json.begin(), json.end(), row), end; it != end; ++it) {
        const std::string number = (*it)[2];
        float value = 0;
        std::from_chars(number.data(), number.data() + number.size(), value);
        rows.push_back({(*it)[1], value});
    }
    return rows;
}

TEST(CliRecordsTest, ImportThenQueryGiveTheCountsExtremesAndRowsTheFileHolds)
{
    TempFolder temp;
    const fs::path store = temp.Path() / "QM710.db";
    MakeEmptyStore(store);
    RecordingShape shape;
    shape.lines = 10080;  // a week of one-minute readings
    shape.missingShare = 0.02;
    const std::string text = RecordingGenerator(shape).Text();
    const fs::path file = temp.Write("20240101.csv", text);

    const CliRun imported = RunCli("import " + Quoted(file) + " --db " + Quoted(store), true);
    ASSERT_EQ(imported.status, 0) << imported.output;
    EXPECT_NE(imported.output.find("Lines read         10080\nRows stored        10080\nLines refused      0\n"
                                   "Lines held back    0\nHistory added      10080\nHistory changed    0\n"),
              std::string::npos)
        << imported.output;
    EXPECT_TRUE(fs::exists(temp.Path() / kHistoryFile)) << "the history beside the store";
    EXPECT_NE(imported.output.find("Temperature unit   (\u00B0C)\nPressure unit      (hPa)\nRain unit          (mm)\n"
                                   "Wind unit          (m/s)\nLight unit         (lux)\n"),
              std::string::npos);

    // A day whose bounds fall exactly on readings: the first is out, the last in.
    const std::string start = "2024-01-03 00:00:00";
    const std::string end = "2024-01-04 00:00:00";
    const std::vector<StoredReading> expected = ReadingsInText(text, 5, start, end);
    ASSERT_GT(expected.size(), 1300u);
    ASSERT_EQ(expected.back().time, end);
    const CliRun queried =
        RunCli("query OutTemp '2024-01-03 0:00:00' '2024-01-04 0:00:00' --json --db " + Quoted(store), true);
    ASSERT_EQ(queried.status, 0) << queried.output;
    float max = expected[0].value;
    float min = expected[0].value;
    for (const StoredReading& r : expected) {
        max = std::max(max, static_cast<float>(r.value));
        min = std::min(min, static_cast<float>(r.value));
    }
    EXPECT_EQ(JsonNumber(queried.output, "Count"), static_cast<double>(expected.size()));
    EXPECT_EQ(static_cast<float>(JsonNumber(queried.output, "Max1").value_or(-1e9)), max);
    EXPECT_EQ(static_cast<float>(JsonNumber(queried.output, "Min1").value_or(-1e9)), min);
    EXPECT_EQ(JsonRows(queried.output), expected);

    const CliRun nothing = RunCli("query UV '2024-01-03 0:00:00' '2024-01-03 0:00:00' --db " + Quoted(store));
    EXPECT_EQ(nothing.output, "Count  0\nMax1   NULL\nMin1   NULL\n");
}

TEST(CliRecordsTest, WithoutDbTheDataFolderIsPreparedAndItsStoreUsed)
{
    TempFolder temp;
    const fs::path data = temp.Path() / "home" / "Vorelle2";
    const fs::path file = temp.Write("20240101CH1.csv", "Time,CH1 Temperature(F),CH1 Humidity(%)\r\n"
                                                         "03/04/2024 10:00,70.5,55\r\n2024-03-05 10:00,71.5,--\r\n");
    const std::string environment = "VORELLE2_DATA_DIR=" + Quoted(data) + " LC_ALL=C";
    const CliRun imported = RunCli("import --json " + Quoted(file), true, environment);
    ASSERT_EQ(imported.status, 0) << imported.output;
    EXPECT_NE(imported.output.find("\"layout\": \"channel\""), std::string::npos) << imported.output;
    EXPECT_NE(imported.output.find("\"rowsStored\": 2"), std::string::npos);
    EXPECT_NE(imported.output.find("\"historyAdded\": 2,"), std::string::npos);
    EXPECT_NE(imported.output.find("\"temperature\": \"(\u00B0F)\""), std::string::npos);
    ASSERT_TRUE(fs::exists(data / "QM710.db"));
    StoreResult<HistoryStore> history = HistoryStore::Open(data / kHistoryFile);
    ASSERT_TRUE(history) << history.Error();
    EXPECT_EQ(history->Units(RecordingLayout::Channel)->temperature, "(\u00B0F)") << "the history's units are noted";
    // The C locale writes dates month first: 03/04 is the 4th of March, for
    // the import and the query alike; a bound that is no time is refused.
    const CliRun queried = RunCli("query InHumi '03/01/2024 0:00' '04/01/2024'", true, environment);
    EXPECT_EQ(queried.output, "Count  1\nMax1   55\nMin1   55\n2024-03-04 10:00:00  55\n");
    const CliRun refused = RunCli("query InHumi '13/01/2024' '04/01/2024'", true, environment);
    EXPECT_EQ(refused.status, 64);
    EXPECT_NE(refused.output.find("'13/01/2024' is not a date and time"), std::string::npos) << refused.output;
}

struct FailureCase {
    const char* name;
    std::string arguments;
    std::string says;
};

TEST(CliRecordsTest, FailuresSaySoAndLeaveTheStoreAsItWas)
{
    TempFolder temp;
    const fs::path store = temp.Path() / "QM710.db";
    MakeEmptyStore(store);
    const fs::path good = temp.Write("good.csv", "Time,Temp(C)\r\n2024-01-01 00:01,1.5\r\n");
    ASSERT_EQ(RunCli("import " + Quoted(good) + " --db " + Quoted(store)).status, 0);
    const std::vector<WeatherRecord> before = StoredRecords(store);
    const fs::path empty = temp.Write("e.db", "");
    const FailureCase cases[] = {
        {"a query of a file that is no store", "query InTemp 2024-01-01 2024-01-02 --db " + Quoted(empty),
         "e.db is not a record store of Vorelle 2: no such table: Records\n"},
        {"an import into a file that is no store", "import " + Quoted(good) + " --db " + Quoted(empty),
         "e.db is not a record store of Vorelle 2: no such table: Records\n"},
        {"a recording that is not there", "import " + Quoted(temp.Path() / "gone.csv") + " --db " + Quoted(store),
         "gone.csv: no such recording file"},
        {"a store that is not there", "import " + Quoted(good) + " --db " + Quoted(temp.Path() / "gone.db"),
         "vorelle2-cli: unable to open database file\n"},
        {"a query of a store that is not there",
         "query InTemp '2024-01-01 0:00:00' '2024-01-02 0:00:00' --db " + Quoted(temp.Path() / "gone.db"),
         "vorelle2-cli: unable to open database file\n"},
        {"a query of a column Records does not have",
         "query Pressure '2024-01-01 0:00:00' '2024-01-02 0:00:00' --db " + Quoted(store),
         "vorelle2-cli: no such column: Pressure\n"},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun run = RunCli(c.arguments, true);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.output.find(c.says), std::string::npos) << run.output;
        EXPECT_FALSE(fs::exists(temp.Path() / "gone.db"));
        EXPECT_EQ(StoredRecords(store), before);
        EXPECT_EQ(fs::file_size(empty), 0u);
    }
}

}  // namespace
}  // namespace vorelle::test
