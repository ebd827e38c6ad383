#include "driver/source_root.h"

#include "base/catalog.h"
#include "base/diag.h"
#include "driver/settings.h"
#include "platform/fs.h"

namespace vorel {

namespace {

// The environment value loses one pair of surrounding double quotes and is
// normalised.
std::string environment_root(const HostRules& rules, std::string value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
    value = value.substr(1, value.size() - 2);
  return normalise_root(rules, value);
}

// The root setter: an absent or empty root gives an empty root.
std::string store_root(const HostRules& rules, const std::optional<std::string>& root) {
  if (!root || root->empty()) return "";
  std::string normalised = normalise_root(rules, *root);
  if (normalised.size() >= kMaxSourceRoot) {
    catalog_warning(kMsgSrcRootTooLong, normalised.c_str());
    return "";
  }
  // A root made only of '.' components names the current directory; it
  // must not become the file-system root.
  if (normalised.empty()) normalised.push_back('.');
  if (normalised.back() != rules.separator) normalised.push_back(rules.separator);
  return normalised;
}

}  // namespace

SourceRootInputs read_source_root_inputs(const Settings& settings) {
  SourceRootInputs inputs;
  inputs.option = settings.source_root;
  inputs.env = get_env("VOREL_PROF_SRC_ROOT");
  inputs.cwd = current_directory();
  return inputs;
}

std::string settle_source_root(const HostRules& rules, const SourceRootInputs& inputs) {
  std::optional<std::string> root;
  if (inputs.option)
    root = inputs.option;
  else if (inputs.env)
    root = environment_root(rules, *inputs.env);
  else if (inputs.cwd && inputs.cwd->size() < kMaxSourceRoot)
    root = inputs.cwd;
  return store_root(rules, root);
}

}  // namespace vorel
