#include "board/BoardTexts.h"

#include <gtest/gtest.h>

#include <map>

namespace vorelle {
namespace {

std::string ValueText(const std::vector<BoardText>& texts, int left, int top)
{
    for (const BoardText& t : texts)
        if (t.style == BoardTextStyle::Value && t.rect.left == left && t.rect.top == top)
            return t.text;
    return "(none)";
}

TEST(BoardTextsTest, AllMissingShowsTheMissingTextOfEachKind)
{
    const std::vector<BoardText> texts = BoardTexts(LiveReadings().Current());
    const std::map<std::pair<int, int>, std::string> expected = {
        {{20, 65}, "--.-"},   {{205, 65}, "--"},    {{20, 160}, "--.-"},  {{205, 160}, "--"},
        {{20, 260}, "--.-"},  {{170, 260}, "--.-"}, {{320, 260}, "--.-"}, {{470, 260}, "--.-"},
        {{20, 360}, "--.-"},  {{170, 360}, "--.-"}, {{320, 360}, "--.-"}, {{470, 360}, "--.-"},
        {{10, 460}, "--.-"},  {{170, 460}, "--.-"}, {{320, 460}, "--.-"}, {{470, 460}, "--.-"},
        {{10, 560}, "--"},    {{170, 560}, "--"},   {{320, 560}, "--.-"}, {{620, 45}, "--.-"},
        {{770, 45}, "--"},    {{620, 570}, "--.-"}, {{770, 570}, "--"},
    };
    for (const auto& [at, text] : expected)
        EXPECT_EQ(ValueText(texts, at.first, at.second), text) << at.first << "," << at.second;
}

TEST(BoardTextsTest, ValuesFollowTheConsolesUnits)
{
    LiveReadings readings;
    LiveValues values = readings.Current().values;
    values.IndoorTemp = 250;
    values.RelBarometer = 9870;
    values.WindSpeed = 34;
    values.RainRate = 125;
    values.UvIndex = 7;
    values.SolarRadiation = 20000;
    readings.Publish(values, false);

    readings.SetUnits({0, 2, 2, 0, 0});
    std::vector<BoardText> texts = BoardTexts(readings.Current());
    EXPECT_EQ(ValueText(texts, 20, 65), "25.0 \u00B0C");
    EXPECT_EQ(ValueText(texts, 170, 260), "987.0 hPa");
    EXPECT_EQ(ValueText(texts, 320, 260), "3 bft");
    EXPECT_EQ(ValueText(texts, 320, 360), "12.5 mm/h");
    EXPECT_EQ(ValueText(texts, 10, 560), "7");
    EXPECT_EQ(ValueText(texts, 470, 460), "2.0 k lux");

    readings.SetUnits({1, 0, 1, 1, 1});
    texts = BoardTexts(readings.Current());
    EXPECT_EQ(ValueText(texts, 20, 65), "77.0 \u00B0F");
    EXPECT_EQ(ValueText(texts, 170, 260), "29.15 inHg");
    EXPECT_EQ(ValueText(texts, 320, 260), "12.2 km/h");
    EXPECT_EQ(ValueText(texts, 470, 460), "15.79 w/m2");
}

TEST(BoardTextsTest, NamesKeepTheirTextsAndEveryChannelHasARow)
{
    const std::vector<BoardText> texts = BoardTexts(LiveReadings().Current());
    std::vector<std::string> names;
    for (const BoardText& t : texts)
        if (t.style == BoardTextStyle::Name)
            names.push_back(t.text);
    ASSERT_EQ(names.size(), 19u + 16u);
    EXPECT_EQ(names[11], "Rainfall Today ");
    EXPECT_EQ(names[12], "Weekly Rainfall  ");
    EXPECT_EQ(names.back(), "CH8 Humidity");
}

TEST(BoardTextsTest, DirectionTextHasTheDegreeSign)
{
    EXPECT_EQ(WindDirectionText(0), "0 \u00B0");
    EXPECT_EQ(WindDirectionText(275), "275 \u00B0");
}

}  // namespace
}  // namespace vorelle
