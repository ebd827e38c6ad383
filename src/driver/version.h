// The tool's version: the CMake project version, handed in by the build.
#pragma once

#ifndef VORELCOV_VERSION
#error "VORELCOV_VERSION is defined by the build (the CMake project version)"
#endif

namespace vorel {

inline constexpr const char* kVorelcovVersion = VORELCOV_VERSION;

}  // namespace vorel
