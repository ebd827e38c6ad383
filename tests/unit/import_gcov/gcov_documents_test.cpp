// Several gcov JSON documents in one text, as `gcov --json-format --stdout`
// prints them for several units.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import_gcov/gcov_json.h"

namespace {

std::string doc(const std::string& data_file) {
  return R"({"format_version": "1", "current_working_directory": "/w", "data_file": ")" + data_file +
         R"(", "files": [{"file": "a.c", "functions": [], "lines": [{"line_number": 3, "count": 1}]}]})";
}

TEST(GcovDocuments, OnePerUnitInOrder) {
  const struct {
    std::string text;
    size_t units;     // read before the end or the error
    bool ok;
  } cases[] = {
      {doc("a.gcda") + "\n" + doc("b.gcda") + "\n\n" + doc("c.gcno") + "\n", 3, true},
      {"", 0, true},
      {" \n", 0, true},
      {doc("a.gcda") + "\n{\"format_version\": \"1\"}\n", 2, false},  // no "files"
      {doc("a.gcda") + "\n" + doc("b.gcda").substr(0, 30), 2, false},
      {doc("a.gcda") + " x", 2, false},
  };
  for (const auto& c : cases) {
    std::vector<import_gcov::GcovUnit> units;
    std::string error;
    EXPECT_EQ(import_gcov::parse_gcov_documents(c.text, &units, &error), c.ok) << c.text;
    EXPECT_EQ(units.size(), c.units) << c.text;
    EXPECT_EQ(error.empty(), c.ok) << error;
    if (c.ok && c.units == 3) {
      EXPECT_EQ(units[2].data_file, "c.gcno");
    }
  }
}

}  // namespace
