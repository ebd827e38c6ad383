// A C++ program for the LLVM importer's figures: a template with two
// instantiations, a macro defined in this file, two functions on one line,
// a loop, a branch that never runs, an #if 0 section, a static function.
#include <cstdio>
#define TWICE(x) ((x) > 0 ? (x) * 2 : 0)
static int helper(int a) {
  if (a > 3) return a; else return -a;
}
template <class T> T twice(T v) { return v + v; }
int shared(int a) { return a; } int other(int b) { return b ? 1 : 2; }
int main(int argc, char**) {
  int s = 0;
  for (int i = 0; i < 5; ++i) {
    s += helper(i);
    if (i == 100) {
      s = 0;
    }
  }
  s += TWICE(argc);
  s += twice<int>(1) + static_cast<int>(twice<double>(2.0));
  s += shared(1);
#if 0
  never();
#endif
  std::printf("%d\n", s);
  return 0;
}
