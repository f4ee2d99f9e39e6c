#pragma once

// The program's command line, for scripts and machines without a display:
//
//   pelorin --help | --version
//   pelorin [--shape NAME] [--diameter TEXT] [--length TEXT] [--cone TEXT]
//           [--angle TEXT] [--h1 TEXT] [--h2 TEXT] [--points N]
//           [--size-unit meters|feet] [--volume-unit m3|liters|usgal|ft3]
//           [--csv FILE|-] [--pdf FILE|-] [--error] [--level-table STEP]
//
// A run fills the Input page's fields as a user would (what is not given
// keeps the field's text after start-up and choosing that shape), runs the
// calibration as the Calculate button does, prints Zero and Span as the Output
// page shows them, and writes the table as CSV and the calibration report as
// a PDF. No window is opened and no display is needed.
//
// Outputs are written by write_output_file (report/output_file.h): a file is
// replaced whole or left as it was, a FIFO or device is written in place, and
// every write to standard output and standard error is checked. Only the
// program's name reaches the toolkit: its own options (-platform …) are
// unknown options here. Two outputs never share a target.
//
// Exit statuses: 0 done; 1 an output (a file, standard output or standard
// error) could not be written; 2 the input was rejected or a number could not
// be converted or calculated (the message the window would show goes to
// standard error); 64 an unknown option or value, or two outputs on one
// target (the usage goes to standard error).

namespace pelorin {

// True when the arguments ask for the command line rather than the window:
// any argument of the form --name, or -h / -v. Qt's own one-dash options
// (-platform, -style …) still go to the window.
bool wants_command_line(int argc, char **argv);

// Runs the command line and returns the exit status. Makes its own
// application object; call it instead of starting the window.
int run_command_line(int argc, char **argv);

} // namespace pelorin
