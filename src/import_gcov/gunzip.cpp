#include "import_gcov/gunzip.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace import_gcov {

bool looks_gzipped(std::string_view data) {
  return data.size() >= 2 && static_cast<unsigned char>(data[0]) == 0x1F &&
         static_cast<unsigned char>(data[1]) == 0x8B;
}

bool gunzip(std::string_view data, std::string* out, std::string* error, size_t limit) {
  out->clear();
  z_stream z{};
  if (inflateInit2(&z, 15 + 16) != Z_OK) {  // 16: gzip wrapper
    *error = "cannot start decompression";
    return false;
  }
  size_t consumed = 0;
  int status = Z_OK;
  char buf[1 << 16];
  while (true) {
    size_t chunk = std::min<size_t>(data.size() - consumed, UINT_MAX);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data() + consumed));
    z.avail_in = static_cast<uInt>(chunk);
    z.next_out = reinterpret_cast<Bytef*>(buf);
    z.avail_out = sizeof buf;
    status = inflate(&z, Z_NO_FLUSH);
    consumed += chunk - z.avail_in;
    size_t produced = sizeof buf - z.avail_out;
    if (out->size() + produced > limit) {
      inflateEnd(&z);
      *error = "decompressed data larger than " + std::to_string(limit) + " bytes";
      return false;
    }
    out->append(buf, produced);
    if (status == Z_STREAM_END) {
      // Another member may follow (concatenated gzip files).
      if (consumed == data.size() || !looks_gzipped(data.substr(consumed))) break;
      inflateReset(&z);
      continue;
    }
    if (status != Z_OK && !(status == Z_BUF_ERROR && produced > 0)) break;
    if (produced == 0 && consumed == data.size()) {
      status = Z_BUF_ERROR;  // input ended inside a member
      break;
    }
  }
  inflateEnd(&z);
  if (status == Z_STREAM_END) return true;
  *error = status == Z_BUF_ERROR ? "truncated gzip data" : "corrupt gzip data";
  return false;
}

}  // namespace import_gcov
