// The command line as UTF-8 words (Windows builds: wmain hands UTF-16).
#pragma once
#ifdef _WIN32

#include <string>
#include <vector>

namespace vorel {

std::vector<std::string> utf8_arguments(int argc, wchar_t** argv);

}  // namespace vorel

#endif
