#include "recordings/LocalCopy.h"
#include "support/CliRun.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <vector>

namespace vorelle {
namespace {

using test::CliRun;
using test::RunCli;

// The number after "key": in a JSON text.
std::uint64_t JsonNumber(const std::string& json, const std::string& key)
{
    const std::size_t at = json.find("\"" + key + "\": ");
    return at == std::string::npos ? UINT64_MAX : std::strtoull(json.c_str() + at + key.size() + 4, nullptr, 10);
}

TEST(CliRecordingsTest, ListsFetchesOnlyWhatTheCardGainedAndDeletes)
{
    const test::TempFolder data;
    const std::string environment = "VORELLE2_DATA_DIR=" + data.Path().string();
    const CliRun list = RunCli("recordings list --simulate", false, environment);
    ASSERT_EQ(list.status, 0) << list.output;
    std::vector<std::string> names;
    std::istringstream lines(list.output);
    for (std::string line; std::getline(lines, line);)
        names.push_back(line.substr(0, line.find(' ')));
    ASSERT_EQ(names.size(), 9u) << list.output;
    EXPECT_TRUE(std::is_sorted(names.rbegin(), names.rend())) << "newest first";
    EXPECT_NE(list.output.find(" KB\n"), std::string::npos);
    const std::string today = names[2];
    ASSERT_EQ(today.size(), 12u) << "the day's weather file, after its SM and CH files";

    const CliRun first = RunCli("recordings fetch " + today + " --simulate --json", false, environment);
    ASSERT_EQ(first.status, 0) << first.output;
    EXPECT_EQ(JsonNumber(first.output, "held"), 0u);
    EXPECT_GT(JsonNumber(first.output, "fetched"), 1000u);
    EXPECT_NE(first.output.find("\"imported\": true"), std::string::npos) << first.output;
    EXPECT_GT(JsonNumber(first.output, "rowsStored"), 10u) << "the copy went into the store";
    EXPECT_EQ(JsonNumber(first.output, "linesRead"), JsonNumber(first.output, "rowsStored"));
    const CliRun second = RunCli("recordings fetch " + today + " --simulate --json", false, environment);
    ASSERT_EQ(second.status, 0) << second.output;
    EXPECT_EQ(JsonNumber(second.output, "held"), JsonNumber(first.output, "fetched"));
    std::uint64_t held = 0;
    EXPECT_FALSE(CountHeldBytes(data.Path() / today, held));
    EXPECT_EQ(held, JsonNumber(second.output, "held") + JsonNumber(second.output, "fetched"));

    const CliRun plain = RunCli("recordings fetch " + today + " --simulate", false, environment);
    EXPECT_EQ(plain.status, 0);
    EXPECT_NE(plain.output.find(today + ": fetched "), std::string::npos) << plain.output;
    EXPECT_NE(plain.output.find(" bytes already held"), std::string::npos) << plain.output;
    EXPECT_NE(plain.output.find(today + ": imported into "), std::string::npos) << plain.output;

    const CliRun removed = RunCli("recordings delete " + today + " --simulate", false, environment);
    EXPECT_EQ(removed.status, 0) << removed.output;
    EXPECT_FALSE(std::filesystem::exists(data.Path() / today));
}

TEST(CliRecordingsTest, WrongCommandLinesAndUnknownFiles)
{
    const test::TempFolder data;
    const std::string environment = "VORELLE2_DATA_DIR=" + data.Path().string();
    const struct {
        const char* arguments;
        int status;
        const char* says;
    } cases[] = {
        {"recordings --help", 0, "list|fetch NAME|delete NAME"},
        {"recordings", 64, "say list, fetch NAME or delete NAME"},
        {"recordings fetch", 64, "fetch takes one NAME"},
        {"recordings list extra.csv", 64, "list takes no name"},
        {"recordings copy x.csv", 64, "unknown action"},
        {"recordings list --bogus", 64, "unknown option"},
        {"recordings fetch nothing.csv --simulate", 2, "the card has no file 'nothing.csv'"},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli(c.arguments, true, environment);
        EXPECT_EQ(run.status, c.status) << c.arguments << "\n" << run.output;
        EXPECT_NE(run.output.find(c.says), std::string::npos) << c.arguments << "\n" << run.output;
    }
}

}  // namespace
}  // namespace vorelle
