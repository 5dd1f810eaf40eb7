#include "firmware/BootloaderBlocks.h"
#include "firmware/BootloaderReplies.h"
#include "firmware/FirmwareTestSupport.h"
#include "firmware/ReadBack.h"
#include "support/NamedCase.h"
#include "support/SimLinkFixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace vorelle {
namespace {

using test::MakeFirmwareImage;

struct LayoutCase : test::NamedCase {
    std::size_t firmware;
    std::vector<std::size_t> lengths;
};

class BlockLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

// n bytes travel in floor(n / 56) + 1 blocks; the last is short, and empty
// when n is a multiple of 56. Each block knows its place by word address.
TEST_P(BlockLayoutTest, CutsTheFirmwareIntoBlocks)
{
    const BlockLayout layout(kBootloaderBytes + GetParam().firmware);
    std::vector<std::size_t> lengths;
    for (std::size_t i = 0; i < layout.Count(); ++i) {
        const BootloaderBlock block = layout.At(i);
        lengths.push_back(block.length);
        EXPECT_EQ(block.offset, kBootloaderBytes + 56 * i);
        std::size_t found = 99;
        EXPECT_TRUE(layout.IndexOf(block.WordAddress(), found));
        EXPECT_EQ(found, i);
    }
    EXPECT_EQ(lengths, GetParam().lengths);
}

INSTANTIATE_TEST_SUITE_P(Lengths, BlockLayoutTest,
                         ::testing::Values(LayoutCase{"OneByte", 1, {1}}, LayoutCase{"Bytes55", 55, {55}},
                                           LayoutCase{"Bytes56", 56, {56, 0}}, LayoutCase{"Bytes112", 112, {56, 56, 0}},
                                           LayoutCase{"Bytes113", 113, {56, 56, 1}}),
                         test::CaseName{});

TEST(BootloaderCommandTest, FirstBlockCarriesWordAddress0x1800AndTheBytesFrom0x3000)
{
    const std::vector<std::uint8_t> image = MakeFirmwareImage(100);
    const BlockLayout layout(image.size());
    const Report write = WriteBlockCommand(layout.At(0), image);
    EXPECT_EQ(std::vector<std::uint8_t>(write.begin(), write.begin() + 8),
              (std::vector<std::uint8_t>{0x83, 0x00, 0x18, 0x00, 0x00, 56, 0, 0}));
    EXPECT_TRUE(std::equal(write.begin() + 8, write.end(), image.begin() + 0x3000));

    const Report lastRead = ReadBlockCommand(layout.At(1));
    Report expected{};
    expected[0] = 0x85;
    expected[1] = 0x1C;  // 0x3038 / 2
    expected[2] = 0x18;
    expected[5] = 44;
    EXPECT_EQ(lastRead, expected);
}

struct PlaceCase : test::NamedCase {
    std::uint32_t wordAddress;
    std::size_t count;
    bool placed;
};

class ReadBackPlaceTest : public ::testing::TestWithParam<PlaceCase> {};

// A read-back reply lands only where a block starts, and only with that
// block's length; anything else never touches the buffer.
TEST_P(ReadBackPlaceTest, PlacesOnlyWhatFitsABlock)
{
    const std::vector<std::uint8_t> image = MakeFirmwareImage(113);  // blocks of 56, 56 and 1
    ReadBack readBack((BlockLayout(image.size())));
    const std::vector<std::uint8_t> data(56, 0xAB);
    EXPECT_EQ(readBack.Place(GetParam().wordAddress, data.data(), GetParam().count), GetParam().placed);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ReadBackPlaceTest,
    ::testing::Values(PlaceCase{"FirstBlock", 0x1800, 56, true}, PlaceCase{"LastShortBlock", 0x1838, 1, true},
                      PlaceCase{"ShorterThanItsBlock", 0x1800, 55, false},
                      PlaceCase{"LongerThanItsBlock", 0x1838, 2, false},
                      PlaceCase{"InsideABlock", 0x1801, 56, false},
                      PlaceCase{"InTheBootloader", 0x17E4, 56, false},
                      PlaceCase{"PastTheLastBlock", 0x1854, 0, false},
                      PlaceCase{"FarBeyond", 0xFFFFFFFF, 56, false}),
    test::CaseName{});

TEST(ReadBackTest, MatchesOnlyWhenEveryBlockCameBackEqual)
{
    const std::vector<std::uint8_t> image = MakeFirmwareImage(112);  // blocks of 56, 56 and 0
    const BlockLayout layout(image.size());
    ReadBack readBack(layout);
    const auto place = [&](std::size_t index, const std::vector<std::uint8_t>& from) {
        const BootloaderBlock block = layout.At(index);
        return readBack.Place(block.WordAddress(), from.data() + block.offset, block.length);
    };
    ASSERT_TRUE(place(0, image));
    EXPECT_FALSE(readBack.Matches(image)) << "block 1 never came back";
    std::vector<std::uint8_t> other = image;
    other[0x3000 + 60] ^= 1;
    ASSERT_TRUE(place(1, other));
    EXPECT_FALSE(readBack.Matches(image)) << "block 1 came back different";
    ASSERT_TRUE(place(1, image));
    EXPECT_TRUE(readBack.Matches(image)) << "the empty last block carries nothing to compare";
    EXPECT_FALSE(readBack.Matches(other));
}

class BootloaderRepliesTest : public test::SimLinkFixture {};

// The version text is read only within the bytes that arrived; an erase
// reply too short to carry a status counts as no erase.
TEST_F(BootloaderRepliesTest, ReadsOnlyWithinTheBytesReceived)
{
    BootloaderReplies replies(link.Router(), BlockLayout(kBootloaderBytes + 1));
    std::uint8_t report[64] = {0x80, 64, 200, 'B', 'o', 'o', 't'};
    replies.OnVersionReply(report, 7);
    EXPECT_EQ(replies.Version(), "Boot");
    replies.OnVersionReply(report, 3);
    EXPECT_EQ(replies.Version(), "");
    report[2] = 2;
    replies.OnVersionReply(report, 64);
    EXPECT_EQ(replies.Version(), "Bo");

    const std::uint8_t erase[3] = {0x82, 3, 0};
    replies.OnEraseReply(erase, 2);
    EXPECT_EQ(replies.EraseStatus(), BootloaderReplies::kNoEraseStatus);
    replies.OnEraseReply(erase, 3);
    EXPECT_EQ(replies.EraseStatus(), 0);
}

}  // namespace
}  // namespace vorelle
