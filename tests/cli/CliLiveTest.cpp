#include "support/CliRun.h"
#include "support/NamedCase.h"

#include <gtest/gtest.h>

#include <string>

namespace vorelle {
namespace {

using test::CliRun;
using test::RunCli;

// The line of one quantity: its name, blanks, its text.
std::string LineOf(const std::string& output, const std::string& name)
{
    const std::size_t at = output.find(name + "  ");
    if (at == std::string::npos)
        return {};
    return output.substr(at, output.find('\n', at) - at);
}

TEST(CliLiveTest, PrintsEveryQuantityInTheSimulatedConsolesUnits)
{
    const CliRun metric = RunCli("live --simulate --units 0,2,0,0,0");
    ASSERT_EQ(metric.status, 0);
    EXPECT_NE(LineOf(metric.output, "Indoor Temperature").find(" \u00B0C"), std::string::npos) << metric.output;
    EXPECT_NE(LineOf(metric.output, "Relative Barometer").find(" hPa"), std::string::npos);
    EXPECT_NE(LineOf(metric.output, "Wind Speed").find(" m/s"), std::string::npos);
    EXPECT_NE(LineOf(metric.output, "Rainfall Rate").find(" mm/h"), std::string::npos);
    EXPECT_NE(LineOf(metric.output, "Solar Radiation").find(" lux"), std::string::npos);
    EXPECT_NE(LineOf(metric.output, "PM2.5").find("--.-"), std::string::npos) << "no PM2.5 sensor fitted";
    EXPECT_EQ(metric.output.find("CH1 Temperature"), std::string::npos);

    const CliRun imperial = RunCli("live --simulate --units 1,0,3,1,2 --channels 2");
    ASSERT_EQ(imperial.status, 0);
    EXPECT_NE(LineOf(imperial.output, "Indoor Temperature").find(" \u00B0F"), std::string::npos);
    EXPECT_NE(LineOf(imperial.output, "Relative Barometer").find(" inHg"), std::string::npos);
    EXPECT_NE(LineOf(imperial.output, "Wind Speed").find(" mph"), std::string::npos);
    EXPECT_NE(LineOf(imperial.output, "Rainfall Today").find(" in"), std::string::npos);
    EXPECT_NE(LineOf(imperial.output, "Solar Radiation").find(" fc"), std::string::npos);
    EXPECT_NE(LineOf(imperial.output, "CH2 Temperature").find(" \u00B0F"), std::string::npos);
    EXPECT_NE(LineOf(imperial.output, "CH8 Humidity").find("--"), std::string::npos);
}

TEST(CliLiveTest, JsonCarriesRawValueMissingFlagAndText)
{
    const CliRun run = RunCli("live --simulate --json");
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(run.output.front(), '{');
    EXPECT_NE(run.output.find("\"console\": \"simulated\""), std::string::npos);
    EXPECT_NE(run.output.find("\"Pm25\": {\"name\": \"PM2.5\", \"raw\": 65535, \"missing\": true, \"text\": \"--.-\"}"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("\"RainThisYear\": {\"name\": \"Annual Rainfall\", \"raw\": "), std::string::npos);
    EXPECT_NE(run.output.find("\"missing\": false"), std::string::npos);
}

struct UsageCase : test::NamedCase {
    const char* arguments;
    int status;
    const char* says;
};

class CliUsageTest : public ::testing::TestWithParam<UsageCase> {};

TEST_P(CliUsageTest, AnswersWithStatusAndMessage)
{
    const UsageCase c = GetParam();
    const CliRun run = RunCli(c.arguments, true);
    EXPECT_EQ(run.status, c.status) << run.output;
    EXPECT_NE(run.output.find(c.says), std::string::npos) << run.output;
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, CliUsageTest,
    ::testing::Values(UsageCase{"Version", "--version", 0, "vorelle2-cli " VORELLE2_VERSION},
                      UsageCase{"Help", "--help", 0, "Commands:"},
                      UsageCase{"LiveHelp", "live --help", 0, "--json"},
                      UsageCase{"NoCommand", "", 64, "Usage:"},
                      UsageCase{"UnknownCommand", "frobnicate", 64, "unknown command"},
                      UsageCase{"ThreeUnitCodes", "live --units 1,2,3", 64, "five codes"},
                      UsageCase{"UnitsWithoutSimulate", "live --units 1,0,2,1,1", 64, "add --simulate"},
                      UsageCase{"NineChannels", "live --simulate --channels 9", 64, "0 to 8"},
                      UsageCase{"ClockWithoutSimulate", "live --clock 2024-07-01T14:30", 64, "add --simulate"},
                      UsageCase{"ClockOnADayThatDoesNotExist", "live --simulate --clock 2023-02-29T12:00", 64,
                                "exists"},
                      UsageCase{"LiveUnknownOption", "live --bogus", 64, "unknown option"},
                      UsageCase{"ImportHelp", "import --help", 0, "--name NAME"},
                      UsageCase{"QueryHelp", "query --help", 0, "\"Max1\""},
                      UsageCase{"ImportWithoutFile", "import", 64, "expected a recording file"},
                      UsageCase{"ImportTwoFiles", "import a.csv b.csv", 64, "expected one recording file"},
                      UsageCase{"ImportDbWithoutValue", "import a.csv --db", 64, "without its value"},
                      UsageCase{"ImportUnknownOption", "import --bogus a.csv", 64, "unknown option"},
                      UsageCase{"QueryWithoutEnd", "query OutTemp 2024-01-01", 64,
                                "expected a column, a start and an end"},
                      UsageCase{"QueryUnknownOption", "query OutTemp 2024-01-01 2024-01-02 --bogus", 64,
                                "unknown option"},
                      UsageCase{"SettingsShowAlarmJson", "settings show alarm --simulate --json", 0,
                                "\"indoor-temp-high\": \"30.0\""},
                      UsageCase{"SettingsSetRefusedAlarm", "settings set alarm indoor-temp-high=61 --simulate", 2,
                                "settings: Alarm Temperature:-40.0\u00B0C / -40\u00B0F to 60.0\u00B0C / 140\u00B0F\n"},
                      UsageCase{"SettingsSetEmptyRain", "settings set rain today= --simulate", 2,
                                "Rainfall Today: the field is empty. Type a value."},
                      UsageCase{"SettingsSetShownOnly", "settings set basic frequency=433MHz", 2,
                                "frequency is shown only"},
                      UsageCase{"SettingsSetUnknownKey", "settings set alarm bogus=1", 64,
                                "alarm has no setting 'bogus'"},
                      UsageCase{"SettingsShowWithoutBlock", "settings show", 64,
                                "say show BLOCK or set BLOCK KEY=VALUE..."},
                      UsageCase{"CardDaysBeyondTenYears", "live --simulate --card-days 3661", 64, "from 1 to 3660"},
                      UsageCase{"CardDaysWithoutSimulate", "history sync --card-days 30", 64, "add --simulate"},
                      UsageCase{"HistoryWithoutCommand", "history", 64, "expected one of: sync, query, export"},
                      UsageCase{"HistoryQueryHelp", "history query --help", 0, "--every STEP"},
                      UsageCase{"HistoryQueryNoSuchColumn", "history query Temperature 2024-01-01 2024-01-02", 64,
                                "COLUMN is one of No, InHumi, OutHumi"},
                      UsageCase{"HistoryQueryEveryWeek", "history query OutTemp 2024-01-01 2024-01-02 --every week",
                                64, "minute, hour or day"},
                      UsageCase{"HistoryExportWithoutFile", "history export --from 2024-01-01 --to 2024-02-01", 64,
                                "expected --from, --to and --csv"},
                      UsageCase{"HistoryStatsMonthThirteen", "history stats --month 2024-13", 64, "YYYY-MM"}),
    test::CaseName{});

// Whatever goes wrong with the files, the status says it and the message
// names the one at fault.
TEST(CliFaultTest, LostOutputAndUnusableFilesAreReportedAndNamed)
{
    const std::string self = VORELLE2_CLI;
    const struct {
        std::string arguments;
        int status;
        std::string says;
    } cases[] = {
        {"live --simulate 2>&1 >/dev/full | cat", 74, "cannot write the output"},
        {"--help 2>&1 >/dev/full | cat", 74, "cannot write the output"},
        {"hex2bin /nonexistent/in.hex /tmp/out.bin 2>&1", 3, "/nonexistent/in.hex: cannot open or read this input"},
        {"hex2bin " + self + " /nonexistent/out.bin 2>&1", 3, "/nonexistent/out.bin: cannot create or write"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const std::string command = "set -o pipefail; " + self + " " + c.arguments;
        const CliRun run = test::RunProgram("bash -c '" + command + "'");
        EXPECT_EQ(run.status, c.status) << run.output;
        EXPECT_NE(run.output.find(c.says), std::string::npos) << run.output;
    }
}

}  // namespace
}  // namespace vorelle
