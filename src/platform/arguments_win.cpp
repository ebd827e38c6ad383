#include "platform/arguments.h"

#include "platform/win_text.h"

namespace vorel {

std::vector<std::string> utf8_arguments(int argc, wchar_t** argv) {
  std::vector<std::string> words;
  words.reserve(static_cast<size_t>(argc));
  for (int i = 0; i < argc; ++i) words.push_back(narrow(argv[i]));
  return words;
}

}  // namespace vorel
