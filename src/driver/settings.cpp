#include "driver/settings.h"

#include "driver/diag.h"

namespace vorel {

namespace {
void check_color_index(int index) {
  if (index < 1 || index > 7) {
    print_out("ERROR: unknown color %d\n", index);
    fatal_exit(1);
  }
}
}  // namespace

const std::string& Settings::color(int index) const {
  check_color_index(index);
  return colors[static_cast<size_t>(index)];
}

void set_color(Settings& settings, int index, const std::string& text) {
  check_color_index(index);
  settings.colors[static_cast<size_t>(index)] = text;
}

}  // namespace vorel
