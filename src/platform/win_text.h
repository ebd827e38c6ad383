// UTF-8 <-> UTF-16 at the Windows system boundary (Windows builds only).
#pragma once
#ifdef _WIN32

#include <string>

namespace vorel {

// UTF-8 to UTF-16; invalid bytes become U+FFFD.
std::wstring widen(const std::string& text);
// UTF-16 to UTF-8.
std::string narrow(const wchar_t* text);
// The system's message for a Windows error code, without the final line end.
std::string windows_error_text(unsigned long code);

}  // namespace vorel

#endif
