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
}

TEST(Undecorate, OtherNamesAreNotUndecorated) {
  for (const char* name : {"main", "_main", "", "?", "_Z", "_Zfoo", "?foo@@"}) {
    EXPECT_EQ(undecorate(name, false), std::nullopt) << name;
    EXPECT_EQ(undecorate(name, true), std::nullopt) << name;
  }
}

std::string repeat(std::string_view unit, size_t n) {
  std::string out;
  out.reserve(unit.size() * n);
  for (size_t i = 0; i < n; ++i) out += unit;
  return out;
}

// Deep names of every kind the demangler recurses on, padded to the length
// limit, still undecorate (without running out of stack, also under
// the sanitizers); one byte more and the name is kept as it is.
TEST(Undecorate, DeepNamesUpToTheLengthLimit) {
  const size_t limit = kMaxUndecoratedLength;
  const struct {
    std::string head, unit, middle, tail_unit, tail;
    const char* full_start;
  } shapes[] = {
      {"_Z1f", "P", "", "", "i", "f(int*"},                    // pointer chain
      {"_Z1f", "1AI", "i", "E", "", "f(A<A<"},                 // template nesting
      {"_Z1f", "PF", "v", "E", "", "f(void (*"},               // function types
      {"?f@@YAX", "PEA", "H", "", "@Z", "void __cdecl f(int *"},  // Microsoft pointers
      {"?f@@YAX", "V?$A@", "H", "@@", "@Z", "void __cdecl f(class A<class A<"},
  };
  for (const auto& s : shapes) {
    const size_t fixed = s.head.size() + s.middle.size() + s.tail.size();
    const size_t per_level = s.unit.size() + s.tail_unit.size();
    size_t n = (limit - fixed) / per_level;
    std::string name = s.head + repeat(s.unit, n) + s.middle + repeat(s.tail_unit, n);
    name += s.tail;
    SCOPED_TRACE(s.head + s.unit);
    ASSERT_LE(name.size(), limit);
    std::optional<std::string> full = undecorate(name, true);
    ASSERT_TRUE(full.has_value());
    EXPECT_EQ(full->rfind(s.full_start, 0), 0u) << full->substr(0, 40);
    EXPECT_EQ(undecorate(name, false), "f");
  }
  for (std::string name : {"_Z1f" + repeat("P", limit - 4) + "i", "?f@@YAX" + repeat("PEA", 1400) + "H@Z",
                           "_Z1f" + repeat("P", 100000) + "i"}) {
    EXPECT_EQ(undecorate(name, true), std::nullopt) << name.size();
    EXPECT_EQ(undecorate(name, false), std::nullopt) << name.size();
  }
}

}  // namespace
}  // namespace vorel
