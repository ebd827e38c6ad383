// Id lists of the mapping section and lookup keys.
#include "profile/spi_list.h"

#include <gtest/gtest.h>

#include <string>

#include "profile/lookup_key.h"

namespace {

using vorel::SPI_LIST_add;
using vorel::SPI_LIST_get;

std::unique_ptr<std::string> s(const char* text) { return std::make_unique<std::string>(text); }

// Ids run from 1 to the announced count; a slot is taken once; ids above the
// highest one stored and empty slots give nothing.
TEST(SpiList, IdsRunFromOneToTheAnnouncedCount) {
  auto list = vorel::SPI_LIST_create<std::string>(3);
  EXPECT_FALSE(SPI_LIST_add(list, 0, s("zero")));
  EXPECT_FALSE(SPI_LIST_add(list, 4, s("four")));
  EXPECT_TRUE(SPI_LIST_add(list, 2, s("two")));
  EXPECT_FALSE(SPI_LIST_add(list, 2, s("again")));
  EXPECT_TRUE(SPI_LIST_add(list, 1, s("one")));
  EXPECT_EQ(list.highest_id, 2u);
  EXPECT_EQ(*SPI_LIST_get(list, 2), "two");
  for (uint32_t id : {0u, 3u, 4u}) EXPECT_EQ(SPI_LIST_get(list, id), nullptr) << id;
  vorel::SPI_LIST_free(list);
  EXPECT_EQ(SPI_LIST_get(list, 2), nullptr);
  auto none = vorel::SPI_LIST_create<std::string>(0);
  EXPECT_FALSE(SPI_LIST_add(none, 1, s("a")));
  EXPECT_EQ(SPI_LIST_get(none, 1), nullptr);
}

TEST(LookupKey, BothOrders) {
  EXPECT_EQ(vorel::make_key("a.c", "f", vorel::kRoutineOrder), "f'a.c'");
  EXPECT_EQ(vorel::make_key("a.c", "f", vorel::kFileOrder), "a.c'f'");
  EXPECT_EQ(vorel::make_key("", "", vorel::kRoutineOrder), "''");
}

}  // namespace
