#include "items/ItemCodec.h"

#include <gtest/gtest.h>

namespace vorelle {
namespace {

// Each item's columns agree: the marker a reading holds before any record
// goes out as the item's missing pattern, which reads back as missing.
TEST(ItemTableTest, EveryItemsUnsetMarkerGoesAndComesBackAsMissing)
{
    for (int code = 0; code <= 0xFF; ++code) {
        const ItemRow* row = FindItem(static_cast<std::uint8_t>(code));
        if (!row || row->kind == ItemKind::DateTime)
            continue;
        SCOPED_TRACE(code);
        ItemWriter unset, missing;
        unset.Reading(static_cast<std::uint8_t>(code), row->unset);
        missing.Missing(static_cast<std::uint8_t>(code));
        EXPECT_EQ(unset.Bytes(), missing.Bytes());
        ASSERT_EQ(missing.Bytes().size(), ValueSize(row->kind));
        EXPECT_TRUE(IsMissingValue(row->kind, missing.Bytes()));
        EXPECT_FALSE(CarriesReading(row->kind, ReadReading(row->kind, missing.Bytes())));
    }
}

}  // namespace
}  // namespace vorelle
