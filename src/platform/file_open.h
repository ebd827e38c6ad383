// Opening a file by its name, the one way every layer opens a file.
//
// Names are UTF-8 everywhere in the program; on Windows they become UTF-16
// at this boundary (_wfopen), so names outside the ANSI code page work.
#pragma once

#include <cstdio>
#include <string>

namespace vorel {

// fopen with a UTF-8 name; nullptr (errno set) when it cannot be opened.
std::FILE* open_file(const std::string& name, const char* mode);

// Whether a text-mode output stream writes "\r\n" for "\n" (Windows).
#ifdef _WIN32
inline constexpr bool kTextStreamsWriteCrLf = true;
#else
inline constexpr bool kTextStreamsWriteCrLf = false;
#endif

}  // namespace vorel
