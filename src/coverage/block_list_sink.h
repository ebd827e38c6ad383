// The receiver of the full block lists (-txtbcvrgfull, -xmlbcvrgfull).
//
// The per-file computation reports every routine of a file as it computes
// it; the report subsystem implements this interface with the text and XML
// writers, so that the coverage model does not depend on them.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vorel {

// One recorded block: its position and its count.
struct BlockDetail {
  uint32_t line = 0;
  uint32_t column = 0;
  double count = 0;
};

// One routine of the full block lists.
struct BlockListFunction {
  std::string name;            // readable name (one leading '_' dropped on Windows)
  uint32_t start_line = 0;
  uint64_t frequency = 0;      // sum of the entry blocks' counts; 0 when not executed
  uint32_t blocks = 0;
  uint32_t covered = 0;
  // Ordered by line, then column; among equal positions the block recorded
  // later comes first.
  std::span<const BlockDetail> details;
};

class BlockListSink {
 public:
  virtual ~BlockListSink() = default;
  virtual void begin_file(const std::string& name) = 0;
  virtual void function(const BlockListFunction& routine) = 0;
  virtual void end_file() = 0;
};

}  // namespace vorel
