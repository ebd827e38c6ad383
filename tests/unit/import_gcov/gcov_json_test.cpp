// The gcov JSON reader on good and bad input, and the mapping of what it
// reads onto routines and blocks.
#include <gtest/gtest.h>

#include <zlib.h>

#include <string>

#include "import_gcov/import.h"
#include "import_gcov/program_builder.h"

namespace {

using import_gcov::GcovUnit;

std::string gzip(const std::string& text) {
  z_stream z{};
  deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, text.size()) + 32, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  z.avail_in = static_cast<uInt>(text.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

std::string unit_json(const std::string& version, const std::string& lines) {
  return R"({"gcc_version": "12.2.0", "files": [{"file": "a.c", "functions": [{"name": "f", "start_line": 1,
  "start_column": 5, "end_line": 4, "end_column": 1, "execution_count": 2, "blocks": 3}],
  "lines": [)" + lines + R"(]}], "format_version": ")" + version + R"(", "current_working_directory": "/w",
  "data_file": "a.c"})";
}

const std::string kLines = R"({"branches": [], "count": 2, "line_number": 2, "unexecuted_block": false, "function_name": "f"})";

TEST(GcovJson, ReadsPlainAndGzippedVersionsOneAndTwo) {
  for (const char* version : {"1", "2"})
    for (bool zipped : {false, true}) {
      std::string text = unit_json(version, kLines);
      GcovUnit unit;
      std::string error;
      ASSERT_TRUE(import_gcov::parse_gcov_bytes(zipped ? gzip(text) : text, &unit, &error)) << error;
      ASSERT_EQ(unit.files.size(), 1u);
      EXPECT_EQ(unit.current_working_directory, "/w");
      ASSERT_EQ(unit.files[0].lines.size(), 1u);
      EXPECT_EQ(unit.files[0].lines[0].count, 2u);
      EXPECT_EQ(unit.files[0].line_functions.at(unit.files[0].lines[0].function), "f");
      EXPECT_EQ(unit.files[0].functions.at(0).end_line, 4u);
    }
}

TEST(GcovJson, RefusesBadInputWithAReason) {
  const std::string good = gzip(unit_json("1", kLines));
  const struct {
    std::string bytes;
    const char* reason;
  } cases[] = {
      {good.substr(0, good.size() / 2), "truncated gzip data"},
      {good.substr(0, 10) + std::string(40, 'x'), "corrupt gzip data"},
      {"[1, 2", "not gcov JSON: expected '{'"},
      {R"({"files": []})", "no \"files\" or no \"format_version\""},
      {R"({"format_version": "1", "files": {}})", "expected '['"},
      {unit_json("3", kLines), "format_version \"3\" is not known"},
      {unit_json("1", R"({"count": -1, "line_number": 2})"), "count does not fit an unsigned 64-bit count"},
      {unit_json("1", R"({"count": 1.5, "line_number": 2})"), "count does not fit"},
      {unit_json("1", R"({"count": 18446744073709551616, "line_number": 2})"), "count does not fit"},
      {unit_json("1", R"({"count": 1, "line_number": 4294967296})"), "line_number does not fit 32 bits"},
      {unit_json("1", R"({"count": 1})"), "line without line_number or count"},
      {unit_json("1", R"({"count": 1, "line_number": 2, "branches": [{"fallthrough": true}]})"), "branch without count"},
      {unit_json("1", R"({"count": 1, "line_number": 2, "branches": [{"count": -2}]})"), "count does not fit"},
      {unit_json("1", R"({"count": 1, "line_number": 2, "unexecuted_block": 1})"), "expected true or false"},
      {unit_json("1", R"({"count": 1, "line_number": 2, "x": )" + std::string(100000, '[')), "nesting too deep"},
      {unit_json("1", kLines) + "}", "text after the JSON value"},
      {R"({"format_version": "1", "files": [{"file": "a\ud800"}]})", "lone surrogate"},
  };
  for (const auto& c : cases) {
    GcovUnit unit;
    std::string error;
    EXPECT_FALSE(import_gcov::parse_gcov_bytes(c.bytes, &unit, &error)) << c.reason;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
}

TEST(GcovJson, SumsThatOverflowAreRefused) {
  std::string text = unit_json("1", R"({"count": 18446744073709551614, "line_number": 2, "function_name": "f"},
                                      {"count": 1, "line_number": 2, "function_name": "g"})");
  GcovUnit unit;
  std::string error;
  ASSERT_TRUE(import_gcov::parse_gcov_bytes(text, &unit, &error)) << error;
  import_gcov::ProgramBuilder builder;
  EXPECT_FALSE(builder.add(unit, &error));  // 2^64-1 reads back as "never executed"
  EXPECT_NE(error.find("does not fit 64 bits"), std::string::npos) << error;
}

}  // namespace
