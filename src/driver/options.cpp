#include "driver/options.h"

#include <cstdio>
#include <cstring>

#include "base/catalog.h"
#include "base/diag.h"
#include "driver/extensions.h"
#include "driver/settings.h"
#include "driver/usage.h"

namespace vorel {

namespace {

enum class Kind {
  kHelp,    // return 0 at once: the usage text follows
  kHelpX,   // the external options text, then status 1
  kFlag,    // no argument
  kValue,   // takes the next word, whatever it looks like
};

// What happens when an option that takes a value is the last word.
enum class Missing {
  kUsage,    // return 0 without a message
  kMessage,  // print `message`, status 1
  kQstOnly,  // set qst_links and go on
};

struct Option {
  const char* name;
  Kind kind;
  void (*apply)(Settings&, const char* value);
  Missing missing = Missing::kUsage;
  const char* message = nullptr;
};

void set_trace(Settings& s, const char* v) {
  if (std::strncmp(v, "0x", 2) == 0) {
    unsigned int mask = 0;
    if (std::sscanf(v, "0x%x", &mask) == 1) s.trace_mask = mask;
  } else {
    int mask = 0;
    if (std::sscanf(v, "%d", &mask) == 1) s.trace_mask = static_cast<uint32_t>(mask);
  }
}

void set_owner_address(Settings& s, const char* v) {
  s.owner_address = v;
  if (!s.owner_name) s.owner_name = v;
}

// A colour lands in the pages' style attributes as it is, so only an HTML
// colour name (letters only) or '#' with 3 or 6 hexadecimal digits is taken;
// anything else is an option error.
void set_checked_color(Settings& s, int index, const char* v) {
  const size_t n = std::strlen(v);
  bool ok;
  if (v[0] == '#')
    ok = (n == 4 || n == 7) && std::strspn(v + 1, "0123456789abcdefABCDEF") == n - 1;
  else
    ok = n > 0 && std::strspn(v, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ") == n;
  if (!ok) {
    print_err("ERROR: wrong html color %s is specified: use a color name or # and 3 or 6 hex digits.\n", v);
    fatal_exit(1);
  }
  set_color(s, index, v);
}

void set_info_color(Settings& s, const char* v) {
  if (std::strcmp(v, "floating") == 0)
    s.floating_info = true;
  else
    set_checked_color(s, kColorInformation, v);
}

constexpr const char* kNoTextName = "ERROR: file name for text output is not specified.\n";
constexpr const char* kNoXmlName = "ERROR: file name for XML output is not specified.\n";

#define MSG(text) Missing::kMessage, text
#define COLOR(index) [](Settings& s, const char* v) { set_checked_color(s, index, v); }
#define FLAG(field) [](Settings& s, const char*) { s.field = true; }

// The options in scan order; the first name equal to the word wins.
const Option kOptions[] = {
    {"-?", Kind::kHelp, nullptr},
    {"/?", Kind::kHelp, nullptr},
    {"-help", Kind::kHelp, nullptr},
    {"/help", Kind::kHelp, nullptr},
    {"-h", Kind::kHelp, nullptr},
    {"/h", Kind::kHelp, nullptr},
    {"-helpx", Kind::kHelpX, nullptr},
    {"/helpx", Kind::kHelpX, nullptr},
    {"-spi", Kind::kValue, [](Settings& s, const char* v) { s.spi_file_name = v; }},
    {"-dpi", Kind::kValue, [](Settings& s, const char* v) { s.dpi_file_name = v; }},
    {"-ref", Kind::kValue,
     [](Settings& s, const char* v) {
       s.differential = true;
       s.ref_dpi_file_name = v;
     }},
    {"-srcroot", Kind::kValue, [](Settings& s, const char* v) { s.source_root = v; }},
    {"-multiple-definitions", Kind::kFlag, FLAG(multiple_definitions)},
    {"-demang", Kind::kFlag, [](Settings& s, const char*) { s.demangle = 1; }},
    {"-prj", Kind::kValue, [](Settings& s, const char* v) { s.project_name = v; }},
    {"-showdirnames", Kind::kFlag, FLAG(show_dir_names)},
    {"-comp", Kind::kValue, [](Settings& s, const char* v) { s.component_file_name = v; },
     MSG("ERROR: no component-list file specified.\n")},
    {"-counts", Kind::kFlag, FLAG(show_counts)},
    {"-blockcounts", Kind::kFlag, FLAG(block_counts)},
    {"-nounwind", Kind::kFlag, FLAG(no_unwind)},
    {"-trace", Kind::kValue, set_trace, MSG("ERROR: -trace requires a mask value.\n")},
    {"-nopartial", Kind::kFlag, FLAG(no_partial)},
    {"-nopmeter", Kind::kFlag, [](Settings& s, const char*) { s.progress_meter = false; }},
    {"-maddr", Kind::kValue, set_owner_address},
    {"-mname", Kind::kValue, [](Settings& s, const char* v) { s.owner_name = v; }},
    {"-bcolor", Kind::kValue, COLOR(kColorUncoveredBlock),
     MSG("ERROR: no html color specified for the uncovered blocks.\n")},
    {"-ccolor", Kind::kValue, COLOR(kColorCovered),
     MSG("ERROR: no html color specified for the covered code.\n")},
    {"-fcolor", Kind::kValue, COLOR(kColorUncoveredFunction),
     MSG("ERROR: no html color specified for the uncovered functions.\n")},
    {"-pcolor", Kind::kValue, COLOR(kColorPartial),
     MSG("ERROR: no html color specified for the partially-covered code.\n")},
    {"-ucolor", Kind::kValue, COLOR(kColorUnknown),
     MSG("ERROR: no html color specified for the unknown code.\n")},
    {"-xcolor", Kind::kValue, COLOR(kColorNotFeasible),
     MSG("ERROR: no html color specified for the not feasible code.\n")},
    {"-icolor", Kind::kValue, set_info_color,
     MSG("ERROR: no html color specified for the information lines.\n")},
    {"-txtfcvrg", Kind::kValue,
     [](Settings& s, const char* v) {
       s.html_report = false;
       s.txt_function_list = v;
     },
     MSG(kNoTextName)},
    {"-xmlfcvrg", Kind::kValue,
     [](Settings& s, const char* v) {
       s.html_report = false;
       s.xml_function_list = v;
     },
     MSG(kNoXmlName)},
    {"-txtbcvrgfull", Kind::kValue, [](Settings& s, const char* v) { s.txt_block_list_full = v; },
     MSG("ERROR: file name for text block coverage output is not specified.\n")},
    {"-xmlbcvrgfull", Kind::kValue, [](Settings& s, const char* v) { s.xml_block_list_full = v; },
     MSG("ERROR: file name for XML block coverage output is not specified.\n")},
    {"-include-nonexec", Kind::kFlag, FLAG(include_nonexec)},
    {"-nohtml", Kind::kFlag, FLAG(no_html)},
    {"-txtbcvrg", Kind::kValue,
     [](Settings& s, const char* v) {
       s.html_report = false;
       s.txt_block_list = v;
     },
     MSG(kNoTextName)},
    {"-txtlcov", Kind::kFlag,
     [](Settings& s, const char*) {
       s.html_report = false;
       s.line_coverage = true;
     }},
    {"-xmlbcvrg", Kind::kValue,
     [](Settings& s, const char* v) {
       s.html_report = false;
       s.xml_block_list = v;
     },
     MSG(kNoXmlName)},
    {"-onelinedsbl", Kind::kValue,
     [](Settings& s, const char* v) {
       s.markers_in_use = 1;
       s.one_line_markers.push_back(v);
     },
     MSG("ERROR: comment for disable line is not specified.\n")},
    {"-endblkdsbl", Kind::kValue,
     [](Settings& s, const char* v) {
       s.markers_in_use = 1;
       s.end_block_markers.push_back(v);
     },
     MSG("ERROR: comment for end disable block is not specified.\n")},
    {"-beginblkdsbl", Kind::kValue,
     [](Settings& s, const char* v) {
       s.markers_in_use = 1;
       s.begin_block_markers.push_back(v);
     },
     MSG("ERROR: comment for begin disable block is not specified.\n")},
    {"-qst_host", Kind::kValue, [](Settings& s, const char* v) { s.qst_host = v; },
     Missing::kQstOnly},
    {"-qst_db_name", Kind::kValue, [](Settings& s, const char* v) { s.qst_db_name = v; },
     Missing::kQstOnly},
    {"-qst_db_prj", Kind::kValue, [](Settings& s, const char* v) { s.qst_db_project = v; },
     Missing::kQstOnly},
    {"-qst_user", Kind::kValue, [](Settings& s, const char* v) { s.qst_user = v; },
     MSG("ERROR: user name to access the database has to be specified for this option.\n")},
    {"-qst_passwd", Kind::kValue, [](Settings& s, const char* v) { s.qst_password = v; },
     MSG("ERROR: password to access the database has to be specified for this option.\n")},
    {"-txtdcg", Kind::kValue,
     [](Settings& s, const char* v) {
       s.html_report = false;
       s.call_graph_file = v;
     },
     MSG("ERROR: file name for CallGraph output is not specified.\n")},
};

#undef MSG
#undef COLOR
#undef FLAG

bool is_qst_option(const Option& option) { return std::strncmp(option.name, "-qst_", 5) == 0; }

const Option* find_option(const char* word) {
  for (const Option& option : kOptions)
    if (std::strcmp(option.name, word) == 0) return &option;
  return nullptr;
}

// Checks after the last word, in their order; conflicts end the run.
void check_option_set(Settings& s) {
  if (!s.owner_address) s.owner_address = "nobody";
  if (!s.owner_name) s.owner_name = "Nobody";
  if (s.differential) {
    if (s.no_partial) {
      print_err("WARNING: option -ref overrides option -nopartial.\n");
      s.no_partial = false;
    }
    if (s.show_counts) {
      print_err("WARNING: option -ref overrides option -counts.\n");
      s.show_counts = false;
    }
  }
  if (s.line_coverage) {
    const char* conflict = nullptr;
    if (s.differential) conflict = "ERROR: cannot use -txtlcov with -ref option.\n";
    else if (s.txt_block_list_full) conflict = "ERROR: cannot use both -txtlcov and -txtbcvrgfull options.\n";
    else if (s.xml_block_list_full) conflict = "ERROR: cannot use both -txtlcov and -xmlbcvrgfull options.\n";
    else if (s.txt_block_list) conflict = "ERROR: cannot use both -txtlcov and -txtbcvrg options.\n";
    else if (s.xml_block_list) conflict = "ERROR: cannot use both -txtlcov and -xmlbcvrg options.\n";
    if (conflict) {
      print_err("%s", conflict);
      fatal_exit(1);
    }
  }
  if (s.no_partial) set_color(s, kColorPartial, s.color(kColorCovered));
  if (s.block_counts && !s.line_coverage)
    print_err("WARNING: option -blockcounts has no effect without -txtlcov.\n");
}

}  // namespace

int scan_options(int argc, const char* const* argv, Settings& settings) {
  for (int i = 1; i < argc; ++i) {
    const char* word = argv[i];
    const Option* option = find_option(word);
    if (!option) {
      if (std::strncmp(word, "-platform=", 10) == 0) continue;  // taken by the driver
      if (std::strncmp(word, "--", 2) == 0 && scan_extension(argc, argv, i, settings.extensions))
        continue;
      print_err("ERROR: wrong option %s is specified.\n", word);
      return 0;
    }
    if (is_qst_option(*option)) settings.qst_links = 1;
    switch (option->kind) {
      case Kind::kHelp:
        return 0;
      case Kind::kHelpX:
        print_external_options();
        fatal_exit(1);
      case Kind::kFlag:
        option->apply(settings, nullptr);
        break;
      case Kind::kValue:
        if (i + 1 < argc) {
          option->apply(settings, argv[++i]);
        } else if (option->missing == Missing::kUsage) {
          return 0;
        } else if (option->missing == Missing::kMessage) {
          print_err("%s", option->message);
          fatal_exit(1);
        }
        break;
    }
  }
  check_option_set(settings);
  print_banner(stderr);
  print_err("\n");
  std::fflush(stderr);
  return 1;
}

}  // namespace vorel
