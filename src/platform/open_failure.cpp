#include <cerrno>
#include <cstring>

#include "platform/file_open.h"

namespace vorel {

namespace {

thread_local OpenFailure t_failure;

}  // namespace

const OpenFailure& last_open_failure() { return t_failure; }

void clear_open_failure() { t_failure = OpenFailure{}; }

void record_open_errno(int code) {
  t_failure.missing = code == ENOENT || code == ENOTDIR;
  t_failure.reason = std::strerror(code);
}

void record_not_regular(const char* what) {
  t_failure.missing = false;
  t_failure.reason = std::string("not a regular file (") + what + ")";
}

}  // namespace vorel
