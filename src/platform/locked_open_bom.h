// What both hosts' locked opens share: the text-mode test of a C mode string
// and the skip of a UTF-8 byte-order mark at the start of a text stream.
#pragma once

#include <cstdio>

namespace vorel {

// 't' without 'b'.
bool is_text_mode(const char* mode);
// Reads past a leading UTF-8 byte-order mark; any other start is left unread.
void skip_utf8_bom(std::FILE* fp);

}  // namespace vorel
