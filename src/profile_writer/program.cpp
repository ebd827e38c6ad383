#include "profile_writer/program.h"

#include <cstring>

#include "platform/whole_file.h"

namespace profile_writer {

std::string full_name(const std::string& root, const std::string& name) { return root + name; }

std::vector<EntryPoint> entries_of(const Routine& routine) {
  if (!routine.entries.empty()) return routine.entries;
  return {EntryPoint{routine.name, 0}};
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

void patch_u32(std::string& bytes, uint64_t at, uint32_t v) {
  std::string b;
  put_u32(b, v);
  bytes.replace(at, 4, b);
}

void patch_u64(std::string& bytes, uint64_t at, uint64_t v) {
  std::string b;
  put_u64(b, v);
  bytes.replace(at, 8, b);
}

uint32_t get_u32(const std::string& bytes, uint64_t at) {
  uint32_t v;
  std::memcpy(&v, &bytes[at], 4);
  return v;
}

uint64_t get_u64(const std::string& bytes, uint64_t at) {
  uint64_t v;
  std::memcpy(&v, &bytes[at], 8);
  return v;
}

std::string segment(uint64_t tag, const std::string& payload) {
  std::string s;
  put_u64(s, tag);
  put_u64(s, payload.size());
  return s + payload;
}

Routine routine(const std::string& name, uint32_t start_line, uint32_t end_line,
                const std::vector<BlockAt>& blocks) {
  Routine r;
  r.name = name;
  r.start_line = start_line;
  r.start_col = 1;
  r.end_line = end_line;
  r.end_col = 1;
  for (const BlockAt& b : blocks) {
    Block block;
    block.line = b.line;
    block.col = b.col;
    block.count = b.count;
    block.lines = b.lines;
    block.handler = b.handler;
    r.blocks.push_back(block);
  }
  return r;
}

Module module(const std::string& root, const std::string& source, std::vector<Routine> routines) {
  return Module{root, source + ".o", {SourceFile{root, source, std::move(routines)}}};
}

bool write_bytes(const std::string& path, const std::string& bytes, std::string* error) {
  std::string reason;
  if (vorel::write_whole_file(path, bytes, &reason)) return true;
  if (error) *error = "cannot write " + path + ": " + reason;
  return false;
}

}  // namespace profile_writer
