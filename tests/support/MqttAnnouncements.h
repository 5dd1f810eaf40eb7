#pragma once

#include "board/BoardTexts.h"
#include "publish/Discovery.h"
#include "publish/ReadingJson.h"
#include "support/MqttBroker.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vorelle::test {

// The subscriber hears of `device` alone: its state and availability, and
// each quantity of `reading` that has a value announced as discovery says (a
// subscriber that came late gets what is retained in the broker's order).
inline void ExpectAnnouncedAlone(MqttSubscriber& subscriber, const TimedReading& reading,
                                 const PublishedDevice& device, const PublishedTopics& topics)
{
    const std::vector<QuantityReading> quantities = QuantityReadings(reading.snapshot);
    const auto announced = static_cast<std::size_t>(
        std::count_if(quantities.begin(), quantities.end(), [](const QuantityReading& q) { return !q.missing; }));
    EXPECT_TRUE(subscriber.WaitFor([&] { return subscriber.latest.size() >= announced + 2; }));
    for (const QuantityReading& q : quantities) {
        const MqttMessage expected = DiscoveryMessage(q.key, q.name, reading.snapshot.values.units, device, topics);
        EXPECT_EQ(subscriber.Latest(expected.topic), q.missing ? "(none)" : expected.payload) << q.key;
    }
    EXPECT_EQ(subscriber.latest.size(), announced + 2);
    EXPECT_GT(announced, 20u);
}

}  // namespace vorelle::test
