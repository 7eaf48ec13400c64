// The command line of a program on the runtime, read before RuntimeStart. The
// native programs answer --version and --help and refuse anything else; the
// Windows programs take no command line and ignore whatever they are given; the
// page starts its program without arguments.
//
//   int main(int argc, char** argv) {
//       ProgramCommandLine(argc, argv);
//       RuntimeStart();
//       ...
#pragma once

// What a program says of itself. The build makes one for every program
// (ProgramThis, from cmake/program/program_about.cpp.in).
struct ProgramAbout {
    const char* name;         // the program's own name: "Wirlo", "testcard"
    const char* product;      // the project's name: "Wirlo"
    const char* version;      // the project's version: "1.0.0"
    const char* description;  // one line on what the program is
};
extern const ProgramAbout ProgramThis;

// Natively and in the browser (POSIX): no argument returns at once and the
// program runs; --version or --help prints its answer on the standard output
// and ends the process with exit code 0; anything else prints what is wrong
// and the usage on the standard error and ends it with ExitUsage (program.h).
// On Windows: returns at once, whatever the arguments.
void ProgramCommandLine(int argc, char** argv);
