#include "report/display_name.h"

#include "report/report_options.h"

namespace vorel {

std::string display_name(std::string_view path, bool show_dir_names, std::string_view user_root,
                         char separator) {
  if (!show_dir_names) {
    size_t cut = path.rfind(separator);
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
  }
  if (!user_root.empty() && path.substr(0, user_root.size()) == user_root)
    return std::string(path.substr(user_root.size()));
  return std::string(path);
}

std::string display_name(std::string_view path, const ReportOptions& options) {
  return display_name(path, options.show_dir_names, options.user_source_root,
                      options.host.separator);
}

}  // namespace vorel
