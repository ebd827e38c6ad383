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

// Pointer chains of both schemes up to the length limit still undecorate
// (deeper shapes are in the fuzz corpus); one byte more and the name is kept.
TEST(Undecorate, DeepNamesUpToTheLengthLimit) {
  const size_t limit = kMaxUndecoratedLength;
  std::string microsoft = "?f@@YAX";
  while (microsoft.size() + 3 + 3 <= limit) microsoft += "PEA";
  const std::pair<std::string, const char*> deep[] = {
      {"_Z1f" + std::string(limit - 5, 'P') + "i", "f(int*"}, {microsoft + "H@Z", "void __cdecl f(int *"}};
  for (const auto& [name, start] : deep) {
    std::optional<std::string> full = undecorate(name, true);
    ASSERT_TRUE(full.has_value()) << name.size();
    EXPECT_EQ(full->rfind(start, 0), 0u) << full->substr(0, 40);
    EXPECT_EQ(undecorate(name, false), "f");
  }
  for (const std::string& name : {"_Z1f" + std::string(limit - 4, 'P') + "i", microsoft + "PEAH@Z"}) {
    EXPECT_EQ(undecorate(name, true), std::nullopt) << name.size();
    EXPECT_EQ(undecorate(name, false), std::nullopt) << name.size();
  }
}

}  // namespace
}  // namespace vorel
