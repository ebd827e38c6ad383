#ifndef SHAPE_H
#define SHAPE_H

int square_area(int side);
int rect_area(int w, int h);
const char* shape_name(int kind);
int debug_only(void);
int debug_dump(int kind);

static inline int clamp0(int v) {
  return v < 0 ? 0 : v;
}

#endif
