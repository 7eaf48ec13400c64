#include "runtime/program/command_line.h"

// The Windows product takes no command line: arguments are ignored, and the
// program runs as it does without them.
void ProgramCommandLine(int, char**) {}
