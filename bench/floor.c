/* The least a source view must do, as a yardstick for the report's speed:
 *
 *   floor OUTDIR SOURCE...      or      floor OUTDIR @LIST
 *
 * For every source file (LIST holds one path a line) it writes
 * OUTDIR/<path with '/' as '_'>.HTML holding each line HTML-escaped (&<>")
 * and wrapped in an anchor: <a name="N">...</a>. OUTDIR is made when
 * missing. One pass per file, plain stdio with large buffers. */
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

enum { kBufSize = 1 << 20 };

static char in_buf[kBufSize];
static char out_stdio_buf[kBufSize];

static void die(const char *what, const char *path) {
  fprintf(stderr, "floor: %s %s: %s\n", what, path, strerror(errno));
  exit(1);
}

/* Writes the anchor that opens line n. */
static void open_line(FILE *out, unsigned long n) {
  char buf[32];
  char *p = buf + sizeof buf;
  static const char head[] = "<a name=\"";
  *--p = '>';
  *--p = '"';
  do {
    *--p = (char)('0' + n % 10);
    n /= 10;
  } while (n);
  p -= sizeof head - 1;
  memcpy(p, head, sizeof head - 1);
  fwrite(p, 1, (size_t)(buf + sizeof buf - p), out);
}

static void render(const char *source, const char *outdir) {
  FILE *in = fopen(source, "rb");
  if (!in) die("cannot open", source);

  char name[4096];
  size_t dir_len = strlen(outdir), src_len = strlen(source);
  if (dir_len + src_len + 7 > sizeof name) {
    errno = ENAMETOOLONG;
    die("cannot name the output of", source);
  }
  memcpy(name, outdir, dir_len);
  name[dir_len] = '/';
  for (size_t i = 0; i < src_len; ++i) name[dir_len + 1 + i] = source[i] == '/' ? '_' : source[i];
  memcpy(name + dir_len + 1 + src_len, ".HTML", 6);
  FILE *out = fopen(name, "wb");
  if (!out) die("cannot create", name);
  setvbuf(out, out_stdio_buf, _IOFBF, sizeof out_stdio_buf);

  unsigned long line = 0;
  int in_line = 0;
  size_t got;
  while ((got = fread(in_buf, 1, sizeof in_buf, in)) > 0) {
    const char *p = in_buf, *end = in_buf + got;
    while (p < end) {
      if (!in_line) {
        open_line(out, ++line);
        in_line = 1;
      }
      /* Copy the run of plain characters, then handle the one that ends it. */
      const char *run = p;
      while (p < end && *p != '\n' && *p != '&' && *p != '<' && *p != '>' && *p != '"') ++p;
      fwrite(run, 1, (size_t)(p - run), out);
      if (p == end) break;
      switch (*p++) {
        case '\n': fwrite("</a>\n", 1, 5, out); in_line = 0; break;
        case '&': fwrite("&amp;", 1, 5, out); break;
        case '<': fwrite("&lt;", 1, 4, out); break;
        case '>': fwrite("&gt;", 1, 4, out); break;
        default: fwrite("&quot;", 1, 6, out); break;
      }
    }
  }
  if (ferror(in)) die("cannot read", source);
  if (in_line) fwrite("</a>\n", 1, 5, out);
  fclose(in);
  if (ferror(out) || fclose(out) != 0) die("cannot write", name);
}

int main(int argc, char **argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: floor OUTDIR SOURCE... | floor OUTDIR @LIST\n");
    return 2;
  }
  const char *outdir = argv[1];
  if (mkdir(outdir, 0777) != 0 && errno != EEXIST) die("cannot create", outdir);
  if (argv[2][0] != '@') {
    for (int i = 2; i < argc; ++i) render(argv[i], outdir);
    return 0;
  }
  FILE *list = fopen(argv[2] + 1, "r");
  if (!list) die("cannot open", argv[2] + 1);
  char path[4096];
  while (fgets(path, sizeof path, list)) {
    size_t n = strlen(path);
    while (n > 0 && (path[n - 1] == '\n' || path[n - 1] == '\r')) path[--n] = '\0';
    if (n > 0) render(path, outdir);
  }
  fclose(list);
  return 0;
}
