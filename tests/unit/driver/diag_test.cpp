#include "driver/diag.h"

#include <gtest/gtest.h>

#include "driver/catalog.h"
#include "driver/settings.h"
#include "fatal.h"

namespace vorel {
namespace {

using testing_support::fatal_status;

TEST(Diag, CatalogWarningIsOneLineAndReturns) {
  testing::internal::CaptureStderr();
  catalog_warning(kMsgSrcRootTooLong, "/x");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "vorelcov: warning #11001: Replacement using source root directory for '/x' is too "
            "long. Will not update root directory.\n");
}

TEST(Diag, CatalogErrorEndsWithStatusOne) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(fatal_status([] { catalog_error(kMsgFileCorrupt, "a.spi"); }), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "vorelcov: error #11004: File 'a.spi' is corrupt.\n");
}

TEST(Diag, InternalErrorCarriesTheProgramName) {
  testing::internal::CaptureStderr();
  set_program_name(nullptr);
  EXPECT_EQ(fatal_status([] { internal_error("null name in %s", "base_name"); }), 1);
  set_program_name("/bin/vorelcov");
  EXPECT_EQ(fatal_status([] { internal_error("x"); }), 1);
  set_program_name(nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "INTERNAL ERROR: null name in base_name\n/bin/vorelcov: INTERNAL ERROR: x\n");
}

TEST(Diag, AllocationFailureNamesThePurpose) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(fatal_status([] { allocation_failed(18446744073709551615ull, "Components SPI"); }), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "ERROR: unable to allocate 18446744073709551615 bytes of memory for Components SPI\n");
}

TEST(Diag, TraceBitsSelectTheirMessages) {
  set_trace_mask(6);
  testing::internal::CaptureStderr();
  trace(kTraceMarkBlocks, "Begin markBlocks for file: %s\n", "a.c");
  trace(kTraceRoutines, "Function: %s. Executed = %c\n", "main", 't');
  trace(kTraceSourceView, "Begin OutputLineCoverage for file: %s\n", "a.c");
  set_trace_mask(0);
  trace(kTraceRoutines, "Function: %s. Executed = %c\n", "f", 'f');
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Function: main. Executed = t\nBegin OutputLineCoverage for file: a.c\n");
}

TEST(Diag, ColourIndexOutsideTheTableEndsTheRunOnStdout) {
  Settings s;
  testing::internal::CaptureStdout();
  EXPECT_EQ(fatal_status([&] { set_color(s, 8, "red"); }), 1);
  EXPECT_EQ(fatal_status([&] { (void)s.color(0); }), 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR: unknown color 8\nERROR: unknown color 0\n");
  set_color(s, 7, "red");
  EXPECT_EQ(s.color(7), "red");
}

TEST(Catalog, BannerVariants) {
  testing::internal::CaptureStdout();
  print_banner(stdout);
  select_vxworks7_banner(true);
  print_banner(stdout);
  select_vxworks7_banner(false);
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_NE(out.find("Code Coverage Tool, Version"), std::string::npos);
  EXPECT_NE(out.find("for VxWorks 7 targets"), std::string::npos);
  EXPECT_NE(product_display_name(), nullptr);
}

}  // namespace
}  // namespace vorel
