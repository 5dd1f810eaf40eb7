#include "publish/Discovery.h"
#include "support/CliRun.h"
#include "support/MqttBroker.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace vorelle {
namespace {

// `serve` owns the console as the window program does: it answers vorelle2-cli,
// publishes each reading to the broker --mqtt names, keeps the history up to
// date, keeps a second owner out, and ends cleanly on SIGTERM, leaving no
// socket or lock file behind.
TEST(CliServeTest, ServesAClientPublishesKeepsASecondOwnerOutAndEndsOnSigterm)
{
    const test::TempFolder folder;
    const std::string temp = "TMPDIR=" + folder.Path().string();
    const std::string data = "VORELLE2_DATA_DIR=" + (folder.Path() / "data").string();
    test::MqttBroker broker("station", "secret");
    ASSERT_TRUE(broker.Start());
    const std::string mqtt = "mqtt://station@127.0.0.1:" + std::to_string(broker.Port()) + "/served";
    const std::filesystem::path said = folder.Path() / "data" / "said";
    std::filesystem::create_directories(said.parent_path());
    const pid_t serve = test::Spawn({"/bin/sh", "-c", "exec \"$@\" 2>" + said.string(), "sh", "/usr/bin/env", temp,
                                     data, "VORELLE2_MQTT_PASSWORD=secret", VORELLE2_CLI, "serve", "--simulate",
                                     "--mqtt", mqtt});
    ASSERT_GT(serve, 0);
    test::MqttSubscriber subscriber(broker.Port(), "station", "secret");
    const std::string state = TopicsFor("served", StationDevice(true)).state;
    EXPECT_TRUE(subscriber.WaitFor([&] { return subscriber.Latest(state).find("\"readings\"") != std::string::npos; }))
        << subscriber.Latest(state);

    test::CliRun live;
    const auto served = [&] { return (live = test::RunCli("live --json", true, temp + " " + data)).status == 0; };
    EXPECT_TRUE(test::Eventually(served)) << live.output;
    EXPECT_NE(live.output.find("\"console\": \"simulated\""), std::string::npos) << "served: no --simulate asked";
    const test::CliRun second = test::RunCli("serve --simulate", true, temp + " " + data);
    EXPECT_EQ(second.status, 1);
    EXPECT_NE(second.output.find("already runs on this data folder"), std::string::npos) << second.output;
    EXPECT_TRUE(test::Eventually([&] { return test::ReadWhole(said).find("History up to date") != std::string::npos; }))
        << test::ReadWhole(said);

    ASSERT_EQ(kill(serve, SIGTERM), 0);
    int status = 0;
    ASSERT_EQ(waitpid(serve, &status, 0), serve);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        EXPECT_EQ(entry.path().filename(), "data") << "left behind";
}

}  // namespace
}  // namespace vorelle
