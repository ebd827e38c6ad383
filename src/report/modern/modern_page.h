// Parts every page of the modern HTML report shares: the head (one
// stylesheet and one script, no inline style or script, so a
// Content-Security-Policy of "script-src 'self'; style-src 'self'" allows
// it), the foot, and the figure cells with their bar and rating.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorel {

struct ModernOptions;

inline constexpr char kModernStyle[] = "vorelcov.css";
inline constexpr char kModernScript[] = "vorelcov.js";

// "<!DOCTYPE html>" up to the opening of <main>; `title` is escaped here.
void append_page_head(std::string& out, std::string_view title, std::string_view page_kind);
void append_page_foot(std::string& out, std::string_view note);

// A percentage in hundredths, rounded as the other outputs show it.
int64_t shown_hundredths(uint64_t covered, uint64_t total);
// "87.50" from 8750.
std::string hundredths_text(int64_t hundredths);
// The rating class of a figure: "hi", "med", "lo", or "none" for an empty total.
const char* rating_class(const ModernOptions& options, uint64_t covered, uint64_t total);

// A table cell with a bar (unless `bar` is false), the percentage and
// "covered/total"; its sort value is the percentage (-1 for an empty total).
void append_figure_cell(std::string& out, const ModernOptions& options, uint64_t covered,
                        uint64_t total, bool bar = true);
// A summary card (index and page headers): title, bar, percent, counts.
void append_figure_card(std::string& out, const ModernOptions& options, std::string_view title,
                        uint64_t covered, uint64_t total);

// The generated part of the stylesheet: bar widths as classes w0..w100.
std::string bar_width_rules();

}  // namespace vorel
