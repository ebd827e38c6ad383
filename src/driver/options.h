// The option scan: turns the argument words into the settings record.
#pragma once

namespace vorel {

struct Settings;

// Scans words 1..argc-1 into `settings` (which holds the defaults on entry)
// and applies the checks after the last word. Returns 1 when the run may go
// on (the banner has then been printed on stderr), 0 when the caller is to
// print the banner and the usage text. Every error with a message of its own
// and -helpx end the run here with status 1.
int scan_options(int argc, const char* const* argv, Settings& settings);

}  // namespace vorel
