#include <stdio.h>

static int sq(int x) {
  return x * x;
}

int never(int a) {
  if (a < 0 && a > -5) return 1;
  return 0;
}

int main(void) {
  int s = 0;
  for (int i = 0; i < 1000; i++) s += sq(i % 7);
  if (s < 0) puts("negative");
  return s > 0 ? 0 : 1;
}
