// The stylesheet and script of the modern report: source files of the
// project (src/report/modern/assets/), embedded at build time.
#pragma once

#include <string_view>

namespace vorel {

extern const std::string_view kModernCssText;
extern const std::string_view kModernJsText;

}  // namespace vorel
