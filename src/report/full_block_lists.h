// The full block lists (-txtbcvrgfull, -xmlbcvrgfull): every routine of every
// computed source file with its block list, written while the per-file
// computation runs.
#pragma once

#include <cstdio>
#include <string>

#include "coverage/block_list_sink.h"

namespace vorel {

class FullBlockLists : public BlockListSink {
 public:
  // Either stream may be nullptr when its list is not written. The streams
  // are owned by the driver; the XML head and tail are written there too.
  FullBlockLists(std::FILE* text, std::FILE* xml) : text_(text), xml_(xml) {}

  // Text: "file - "<name>"\n"; XML: the module start.
  void begin_file(const std::string& name) override;
  // The routine's function record with its block list.
  void function(const BlockListFunction& routine) override;
  // Text: "\n"; XML: "</MODULE>\n".
  void end_file() override;

  bool any() const { return text_ || xml_; }

 private:
  std::FILE* text_;
  std::FILE* xml_;
};

}  // namespace vorel
