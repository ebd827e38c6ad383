#include "profile_writer/program.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace profile_writer {

std::string full_name(const std::string& root, const std::string& name) { return root + name; }

std::vector<EntryPoint> entries_of(const Routine& routine) {
  if (!routine.entries.empty()) return routine.entries;
  return {EntryPoint{routine.name, 0}};
}

uint32_t spi_block_count(const Routine& routine) {
  return routine.spi_block_count ? *routine.spi_block_count
                                 : static_cast<uint32_t>(routine.blocks.size());
}

void put_u32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void put_u64(std::string& out, uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void put_f32(std::string& out, float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  put_u32(out, bits);
}

void write_bytes(const std::string& path, const std::string& bytes) {
  std::FILE* fp = std::fopen(path.c_str(), "wb");
  if (!fp || std::fwrite(bytes.data(), 1, bytes.size(), fp) != bytes.size() || std::fclose(fp) != 0) {
    std::fprintf(stderr, "profile_writer: cannot write %s\n", path.c_str());
    std::abort();
  }
}

}  // namespace profile_writer
