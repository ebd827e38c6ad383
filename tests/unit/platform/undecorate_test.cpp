#include "platform/undecorate.h"

#include <gtest/gtest.h>

namespace vorel {
namespace {

TEST(Undecorate, NameOnlyAndFullSignature) {
  const struct {
    const char* name;
    const char* short_form;
    const char* full_form;
  } cases[] = {
      {"_ZN3foo3barEi", "foo::bar", "foo::bar(int)"},
      {"_Z3maxIiET_S0_S0_", "max<int>", "int max<int>(int, int)"},
      {"_ZN1a1bE", "a::b", "a::b"},
      {"?foo@bar@@QAEXH@Z", "bar::foo", "public: void __thiscall bar::foo(int)"},
      {"?x@@3HA", "x", "int x"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(undecorate(c.name, false), c.short_form);
    EXPECT_EQ(undecorate(c.name, true), c.full_form);
  }
  for (const char* name : {"main", "_main", "", "?", "_Z", "_Zfoo", "?foo@@"})  // not decorated
    EXPECT_FALSE(undecorate(name, false) || undecorate(name, true)) << name;
}

}  // namespace
}  // namespace vorel
