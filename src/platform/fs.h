// Directories, the current working directory and the environment.
#pragma once

#include <optional>
#include <string>

namespace vorel {

// Creates a directory; returns false when it could not be made (an existing
// directory also gives false; callers that do not care ignore the result).
bool make_directory(const std::string& path);

// The current working directory, or nullopt when it cannot be read.
std::optional<std::string> current_directory();

// The value of an environment variable, or nullopt when it is not set.
std::optional<std::string> get_env(const char* name);

}  // namespace vorel
