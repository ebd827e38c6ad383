// Settling the source-root directory: the -srcroot option, else the
// environment variable VOREL_PROF_SRC_ROOT (even when empty), else the
// current working directory. The profile readers compose stored file names
// with the result.
#pragma once

#include <optional>
#include <string>

#include "platform/host.h"

namespace vorel {

struct Settings;

// Roots this long or longer are refused.
inline constexpr size_t kMaxSourceRoot = 260;

struct SourceRootInputs {
  std::optional<std::string> option;  // -srcroot
  std::optional<std::string> env;     // VOREL_PROF_SRC_ROOT as read
  std::optional<std::string> cwd;     // the working directory, when readable
};

// The inputs of this process: the option from `settings`, the environment
// variable and the working directory.
SourceRootInputs read_source_root_inputs(const Settings& settings);

// Chooses and stores the root: the normalised root with a final separator,
// or empty. A root of kMaxSourceRoot characters or more after normalisation
// is refused with the catalog warning kMsgSrcRootTooLong.
std::string settle_source_root(const HostRules& rules, const SourceRootInputs& inputs);

}  // namespace vorel
