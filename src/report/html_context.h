// What the HTML writers read besides their own arguments.
#pragma once

namespace vorel {

struct ReportOptions;

struct PageContext {
  const ReportOptions& options;
  // Some source-file name holds a non-printable byte: the list, toolbar and
  // frame pages carry the character-set line.
  bool charset_line;
};

}  // namespace vorel
