#include "platform/undecorate.h"

#include <gtest/gtest.h>

namespace vorel {
namespace {

TEST(Undecorate, ItaniumNameOnlyAndFullSignature) {
  EXPECT_EQ(undecorate("_ZN3foo3barEi", false), "foo::bar");
  EXPECT_EQ(undecorate("_ZN3foo3barEi", true), "foo::bar(int)");
  EXPECT_EQ(undecorate("_Z3addii", false), "add");
  EXPECT_EQ(undecorate("_Z3addii", true), "add(int, int)");
  EXPECT_EQ(undecorate("_Z3maxIiET_S0_S0_", false), "max<int>");
  EXPECT_EQ(undecorate("_Z3maxIiET_S0_S0_", true), "int max<int>(int, int)");
}

TEST(Undecorate, ItaniumVariable) {
  EXPECT_EQ(undecorate("_ZN1a1bE", false), "a::b");
  EXPECT_EQ(undecorate("_ZN1a1bE", true), "a::b");
}

TEST(Undecorate, MicrosoftNameOnlyAndFullSignature) {
  EXPECT_EQ(undecorate("?foo@bar@@QAEXH@Z", false), "bar::foo");
  EXPECT_EQ(undecorate("?foo@bar@@QAEXH@Z", true), "public: void __thiscall bar::foo(int)");
  EXPECT_EQ(undecorate("?x@@3HA", false), "x");
  EXPECT_EQ(undecorate("?x@@3HA", true), "int x");
}

TEST(Undecorate, OtherNamesAreNotUndecorated) {
  EXPECT_EQ(undecorate("main", false), std::nullopt);
  EXPECT_EQ(undecorate("_main", true), std::nullopt);
  EXPECT_EQ(undecorate("", false), std::nullopt);
  EXPECT_EQ(undecorate("?", false), std::nullopt);
  EXPECT_EQ(undecorate("_Z", true), std::nullopt);
  EXPECT_EQ(undecorate("_Zfoo", false), std::nullopt);   // rejected by the demangler
  EXPECT_EQ(undecorate("?foo@@", true), std::nullopt);
  EXPECT_EQ(undecorate("?foo@@", false), std::nullopt);
}

}  // namespace
}  // namespace vorel
