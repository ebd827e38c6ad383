// Id lists of the mapping section and lookup keys.
#include "profile/spi_list.h"

#include <gtest/gtest.h>

#include <string>

#include "profile/lookup_key.h"

namespace {

using vorel::SPI_LIST_add;
using vorel::SPI_LIST_get;

std::unique_ptr<std::string> s(const char* text) { return std::make_unique<std::string>(text); }

TEST(SpiList, IdsRunFromOneToTheAnnouncedCount) {
  auto list = vorel::SPI_LIST_create<std::string>(3);
  EXPECT_EQ(list.capacity, 4u);
  EXPECT_FALSE(SPI_LIST_add(list, 0, s("zero")));
  EXPECT_FALSE(SPI_LIST_add(list, 4, s("four")));
  EXPECT_TRUE(SPI_LIST_add(list, 3, s("three")));
  EXPECT_FALSE(SPI_LIST_add(list, 3, s("again")));  // slot taken
  EXPECT_EQ(*SPI_LIST_get(list, 3), "three");
  EXPECT_EQ(SPI_LIST_get(list, 2), nullptr);  // empty slot below the highest id
  EXPECT_EQ(SPI_LIST_get(list, 0), nullptr);
  EXPECT_EQ(SPI_LIST_get(list, 4), nullptr);
  vorel::SPI_LIST_free(list);
  EXPECT_EQ(SPI_LIST_get(list, 3), nullptr);
}

TEST(SpiList, GetAboveTheHighestIdStoredIsNoneWhateverTheCapacity) {
  auto list = vorel::SPI_LIST_create<std::string>(10);
  ASSERT_TRUE(SPI_LIST_add(list, 2, s("b")));
  EXPECT_EQ(SPI_LIST_get(list, 3), nullptr);
  EXPECT_EQ(list.highest_id, 2u);
  ASSERT_TRUE(SPI_LIST_add(list, 1, s("a")));
  EXPECT_EQ(list.highest_id, 2u);
}

TEST(SpiList, CountZeroHasNoSlots) {
  auto list = vorel::SPI_LIST_create<std::string>(0);
  EXPECT_EQ(list.capacity, 0u);
  EXPECT_TRUE(list.SPI_LIST_elements.empty());
  EXPECT_FALSE(SPI_LIST_add(list, 1, s("a")));
  EXPECT_EQ(SPI_LIST_get(list, 1), nullptr);
}

TEST(LookupKey, BothOrders) {
  EXPECT_EQ(vorel::make_key("a.c", "f", vorel::kRoutineOrder), "f'a.c'");
  EXPECT_EQ(vorel::make_key("a.c", "f", vorel::kFileOrder), "a.c'f'");
  EXPECT_EQ(vorel::make_key("c:\\src\\a.c", "main", vorel::kRoutineOrder), "main'c:\\src\\a.c'");
  EXPECT_EQ(vorel::make_key("", "", vorel::kRoutineOrder), "''");
}

}  // namespace
