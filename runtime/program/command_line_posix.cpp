#include "runtime/program/command_line.h"

#include <cstdio>
#include <cstring>

#include "runtime/core/process.h"
#include "runtime/program/program.h"

namespace {

// The name the program was started by, without its folder ("wirlo" when
// installed, "Wirlo" in the build tree); the program's own name without one.
const char* CalledAs(int argc, char** argv) {
    if (argc < 1 || !argv[0] || !*argv[0]) return ProgramThis.name;
    const char* slash = std::strrchr(argv[0], '/');
    return slash && slash[1] ? slash + 1 : argv[0];
}

void PrintVersion() {
    // "Wirlo 1.0.0"; a program of another name says whose it is, as in
    // "testcard (Wirlo) 1.0.0".
    if (std::strcmp(ProgramThis.name, ProgramThis.product) == 0)
        std::printf("%s %s\n", ProgramThis.name, ProgramThis.version);
    else
        std::printf("%s (%s) %s\n", ProgramThis.name, ProgramThis.product, ProgramThis.version);
    std::printf("Copyright (c) the %s authors; zlib licence.\n", ProgramThis.product);
}

void PrintUsage(std::FILE* to, const char* name) { std::fprintf(to, "Usage: %s [--version | --help]\n", name); }

void PrintHelp(const char* name) {
    PrintUsage(stdout, name);
    std::printf("%s %s: %s.\n", ProgramThis.name, ProgramThis.version, ProgramThis.description);
    std::printf("Without an argument it runs in a window until Escape, the close box, Ctrl+C or SIGTERM.\n\n");
    std::printf("  --help     show this help and exit\n");
    std::printf("  --version  show the version and exit\n");
}

}  // namespace

void ProgramCommandLine(int argc, char** argv) {
    if (argc < 2) return;
    const char* name = CalledAs(argc, argv);
    const char* argument = argv[1];
    if (argc == 2 && std::strcmp(argument, "--version") == 0) {
        PrintVersion();
    } else if (argc == 2 && std::strcmp(argument, "--help") == 0) {
        PrintHelp(name);
    } else {
        if (argc > 2 && (std::strcmp(argument, "--version") == 0 || std::strcmp(argument, "--help") == 0))
            argument = argv[2];
        std::fprintf(stderr, "%s: unknown argument '%s'\n", name, argument);
        PrintUsage(stderr, name);
        std::fflush(stderr);
        ProcessExit(ExitUsage);
    }
    std::fflush(stdout);
    ProcessExit(0);
}
