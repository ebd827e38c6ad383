// Report file names: how every page and text file of a report is named.
//
// A name is composed from a base, an optional "CodeCoverage" directory
// prefix, an optional number and an extension. The part after the prefix
// follows the page-name rule (report_stem in coverage/report_names.h: the
// last '.' and every '/', ':' and '\\' become '_', a-z are upper-cased),
// then "." and the upper-cased extension are appended:
//   dir_name("c:\\work\\src\\main.cpp", "html", '/')
//     -> "CodeCoverage/C__WORK_SRC_MAIN_CPP.HTML"
// Created files use the host separator; links between pages use '/'.
#pragma once

#include <string>
#include <string_view>

namespace vorel {

inline constexpr const char* kReportDirectory = "CodeCoverage";

// base.EXT
std::string plain_name(std::string_view base, std::string_view ext);
// base_N.EXT
std::string numbered_name(std::string_view base, int number, std::string_view ext);
// CodeCoverage<sep>base.EXT
std::string dir_name(std::string_view base, std::string_view ext, char sep);
// CodeCoverage<sep>base_N.EXT
std::string numbered_dir_name(std::string_view base, int number, std::string_view ext, char sep);
// The source view of a report name: report_name + "_SRC", plain or with the
// directory prefix when `sep` is not '\0'.
std::string source_view_name(std::string_view report_name, std::string_view ext, char sep = '\0');

}  // namespace vorel
