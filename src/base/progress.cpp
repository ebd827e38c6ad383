#include "base/progress.h"

#include "base/diag.h"

namespace vorel {

namespace {
// Meter state: total N, ticks so far c, step s, next threshold t.
int g_total = 0, g_count = 0, g_step = 0, g_threshold = 0;
}  // namespace

void progress_start(int total) {
  g_total = total;
  g_count = 0;
  g_step = static_cast<int>(total * 10.0 / 100.0 + 0.5);
  g_threshold = g_step;
}

void progress_tick() {
  ++g_count;
  if (g_count < g_threshold || g_total <= 0) return;
  int percent = static_cast<int>(g_count * 100.0 / g_total + 0.5);
  if (g_threshold + g_step <= g_total)
    g_threshold += g_step;
  else if (percent < 100)
    g_threshold = g_total;
  else
    g_threshold += g_step;
  if (g_count <= g_step) print_out("Progress: ");
  if (percent < 100)
    print_out("%d%% .. ", percent);
  else
    print_out("%d%%", percent);
}

}  // namespace vorel
