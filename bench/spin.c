/* A fixed amount of CPU work on one thread, touching no memory and making no
 * system call. bench/run.sh times one copy and two copies at once: their
 * ratio is how much of a second core the machine really gives, the ceiling
 * any two-thread speed-up is measured against. */
#include <stdio.h>

int main(void) {
  volatile unsigned long sink = 0;
  unsigned long x = 1;
  for (unsigned long i = 0; i < 400000000UL; ++i) x = x * 6364136223846793005UL + 1442695040888963407UL;
  sink = x;
  printf("%lu\n", sink);
  return 0;
}
