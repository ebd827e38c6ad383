#include "report/modern/modern_page.h"

#include <cmath>

#include "coverage/file_figures.h"
#include "report/format.h"
#include "report/html_text.h"
#include "report/modern/modern_options.h"

namespace vorel {

std::string modern_path(const ModernOptions& options, const std::string& page) {
  if (options.dir.empty()) return page;
  const char last = options.dir.back();
  return last == '/' || last == '\\' ? options.dir + page : options.dir + "/" + page;
}

void append_page_head(std::string& out, std::string_view title, std::string_view page_kind) {
  out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
         "<meta name=\"color-scheme\" content=\"light dark\">\n<title>";
  append_escaped(out, title);
  out += "</title>\n<link rel=\"stylesheet\" href=\"";
  out += kModernStyle;
  out += "\">\n<script src=\"";
  out += kModernScript;
  out += "\" defer></script>\n</head>\n<body class=\"";
  out += page_kind;
  out += "\">\n<main>\n";
}

void append_page_foot(std::string& out, std::string_view note) {
  out += "</main>\n<footer>";
  append_escaped(out, note);
  out += "</footer>\n</body>\n</html>\n";
}

int64_t shown_hundredths(uint64_t covered, uint64_t total) {
  return std::llround(round_hundredths(figures_percent(covered, total)) * 100);
}

std::string hundredths_text(int64_t hundredths) {
  std::string text;
  append_decimal(text, static_cast<uint64_t>(hundredths / 100));
  text += '.';
  append_decimal(text, static_cast<uint64_t>(hundredths % 100 / 10));
  append_decimal(text, static_cast<uint64_t>(hundredths % 10));
  return text;
}

const char* rating_class(const ModernOptions& options, uint64_t covered, uint64_t total) {
  if (total == 0) return "none";
  const int64_t shown = shown_hundredths(covered, total);
  if (shown >= options.high) return "hi";
  return shown >= options.medium ? "med" : "lo";
}

namespace {

// The bar: a track and a fill whose width class is the whole percent.
void append_bar(std::string& out, const char* rating, int64_t hundredths) {
  out += "<span class=\"bar\" aria-hidden=\"true\"><span class=\"fill ";
  out += rating;
  out += " w";
  append_decimal(out, static_cast<uint64_t>(hundredths / 100));
  out += "\"></span></span>";
}

void append_counts(std::string& out, uint64_t covered, uint64_t total) {
  out += "<span class=\"counts\">";
  append_decimal(out, covered);
  out += '/';
  append_decimal(out, total);
  out += "</span>";
}

}  // namespace

void append_figure_cell(std::string& out, const ModernOptions& options, uint64_t covered,
                        uint64_t total, bool bar) {
  const char* rating = rating_class(options, covered, total);
  const int64_t shown = shown_hundredths(covered, total);
  out += "<td class=\"fig\" data-v=\"";
  if (total == 0)
    out += "-1";
  else
    append_decimal(out, static_cast<uint64_t>(shown));
  out += "\">";
  if (bar) append_bar(out, rating, total == 0 ? 0 : shown);
  out += "<span class=\"pct ";
  out += rating;
  out += "\">";
  out += total == 0 ? std::string("&#8211;") : hundredths_text(shown) + "\u2009%";
  out += "</span>";
  append_counts(out, covered, total);
  out += "</td>";
}

void append_figure_card(std::string& out, const ModernOptions& options, std::string_view title,
                        uint64_t covered, uint64_t total) {
  const char* rating = rating_class(options, covered, total);
  const int64_t shown = shown_hundredths(covered, total);
  out += "<div class=\"card\"><h2>";
  append_escaped(out, title);
  out += "</h2><p class=\"big pct ";
  out += rating;
  out += "\">";
  out += total == 0 ? std::string("&#8211;") : hundredths_text(shown) + "\u2009%";
  out += "</p>";
  append_bar(out, rating, total == 0 ? 0 : shown);
  out += "<p>";
  append_decimal(out, covered);
  out += " of ";
  append_decimal(out, total);
  out += " covered</p></div>\n";
}

std::string bar_width_rules() {
  std::string css;
  for (unsigned w = 0; w <= 100; ++w) {
    css += ".w";
    append_decimal(css, w);
    css += "{width:";
    append_decimal(css, w);
    css += "%}\n";
  }
  return css;
}

}  // namespace vorel
