// Itanium signatures as binutils' c++filt spells them, and the name cut from
// such a spelling when LLVM's demangler gives no name of its own.
#include <gtest/gtest.h>

#include "platform/undecorate.h"

namespace vorel {
namespace {

TEST(UndecorateSpelling, FullSignaturesAsCxxFiltSpellsThem) {
  // Expected texts: `c++filt` of each name (binutils 2.40).
  const std::pair<const char*, const char*> cases[] = {
      {"_ZZ4mainENKUliE_clEi", "main::{lambda(int)#1}::operator()(int) const"},
      {"_Z1fIiEDTplfp_fp_ET_", "decltype ({parm#1}+{parm#1}) f<int>(int)"},
      {"_ZNSt6vectorIiSaIiEEixEm", "std::vector<int, std::allocator<int> >::operator[](unsigned long)"},
      // A const array type under a const reference: one "const" (LLVM 14 printed two).
      {"_ZN3fmt2v96detail6unwrapIA11_KcEERKT_RKSt17reference_wrapperIS5_E",
       "char const (&fmt::v9::detail::unwrap<char const [11]>(std::reference_wrapper<char const [11]> const&)) [11]"},
      {"_ZN3fmt2v96detail18for_each_codepointIZNS1_13compute_widthENS0_17basic_string_viewIcEEE17count_code_"
       "pointsEEvS4_T_",
       "void fmt::v9::detail::for_each_codepoint<fmt::v9::detail::compute_width(fmt::v9::basic_string_view<char>)"
       "::count_code_points>(fmt::v9::basic_string_view<char>, fmt::v9::detail::compute_width(fmt::v9::basic_"
       "string_view<char>)::count_code_points)"}};
  for (const auto& [name, spelling] : cases) EXPECT_EQ(undecorate(name, true), spelling) << name;
}

TEST(UndecorateSpelling, FunctionNameCutFromTheFullSpelling) {
  const std::pair<const char*, const char*> cases[] = {
      {"main::{lambda(int)#1}::operator()(int) const", "main::{lambda(int)#1}::operator()"},
      {"decltype ({parm#1}+{parm#1}) f<int>(int)", "f<int>"},
      {"bool A::operator< <int>(A const&) &&", "A::operator< <int>"},
      {"std::ostream& std::operator<< <char>(std::ostream&, char const*)", "std::operator<< <char>"},
      {"A::operator int() const [clone .cold]", "A::operator int"},
      {"(anonymous namespace)::g(std::pair<int, int>)", "(anonymous namespace)::g"},
      {"vtable for std::vector<int, std::allocator<int> >", "vtable for std::vector<int, std::allocator<int> >"},
      {"(anonymous namespace)::counter", "(anonymous namespace)::counter"}};
  for (const auto& [full, name] : cases) EXPECT_EQ(function_name_of(full), name) << full;
}

}  // namespace
}  // namespace vorel
