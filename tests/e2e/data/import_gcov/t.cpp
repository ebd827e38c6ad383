template <class T> T twice(T x) { return x + x; }
int main(int argc, char**) {
  int s = twice(argc);
  double d = twice(1.5);
  if (argc > 5)
    s = 0;
  return s + (int)d;
}
