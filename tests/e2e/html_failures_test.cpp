// Each page and image of the HTML report fails with its own message: a
// directory in the page's place ends the run with status 1, and no report
// is put in place.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli_expect.h"
#include "e2e/program_inputs.h"

namespace e2e {
namespace {

TEST(HtmlFailures, EachPageNamesItsFailure) {
  profile_writer::Program p;
  p.modules.push_back(module("a.c", {profile_writer::routine("f", 1, 2, {{1, 1, 1}})}));
  for (const auto& row : expected_rows("html_failures.tsv")) {  // blocked page, message
    SCOPED_TRACE(row[0]);
    TempDir dir;
    write_inputs(dir, p, {{"a.c", "int f(void)\n{ return 0; }\n"}});
    std::filesystem::create_directories(dir.file(row[0]));
    RunResult r = run_inputs(dir, {}, kHostsOwnRules);
    EXPECT_EQ(r.status, 1);
    std::string message = row.at(1);
#ifdef _WIN32  // the report directory joins its pages with the host's separator
    for (size_t at = 0; (at = message.find("CodeCoverage/", at)) != std::string::npos;) message[at += 12] = '\\';
#endif
    EXPECT_EQ(r.err, kScanDone + message + "\n");
    if (row[0] != "CODE_COVERAGE.HTML") {
      EXPECT_FALSE(file_exists(dir.file("CODE_COVERAGE.HTML")));
    }
  }
}

}  // namespace
}  // namespace e2e
