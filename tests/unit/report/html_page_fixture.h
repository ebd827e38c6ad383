// A scratch working directory with a report directory, for the page tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "report/report_options.h"
#include "e2e/harness.h"
#include "platform/output_file.h"
#include "report/html_context.h"

namespace vorel {

class PageTest : public testing::Test {
 protected:
  void SetUp() override {
    old_cwd_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
    std::filesystem::create_directory("CodeCoverage");
  }
  // A failed writer leaves its open outputs to the run, which abandons them;
  // so does the test (Windows cannot remove a directory with an open file).
  void TearDown() override {
    output_abandon();
    std::filesystem::current_path(old_cwd_);
  }

  PageContext ctx(bool charset = false) const { return PageContext{options_, charset}; }
  // A page relative to the working directory ("" when it is missing), in
  // its LF form (text_form: CR LF lines required on Windows).
  std::string page(const std::string& name) const {
    return e2e::text_form(e2e::read_file(dir_.file(name)).value_or(""));
  }
  // Makes `name` a directory so that creating a file of that name fails.
  void block(const std::string& name) const { std::filesystem::create_directories(dir_.file(name)); }

  e2e::TempDir dir_;
  std::filesystem::path old_cwd_;
  ReportOptions options_;
};

}  // namespace vorel
