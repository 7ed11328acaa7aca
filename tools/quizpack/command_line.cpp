#include "tools/quizpack/command_line.h"

#include <cstdio>

#include "tools/quizpack/commands.h"

bool parseArguments(int argc, char** argv, const std::vector<OptionSpec>& options,
                    ParsedArguments* parsed, std::string* error) {
    for (int i = 0; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            parsed->help = true;
            continue;
        }
        if (arg.size() < 2 || arg[0] != '-') {
            parsed->positional.push_back(arg);
            continue;
        }
        const OptionSpec* option = nullptr;
        for (const OptionSpec& o : options) {
            if (arg == o.name) {
                option = &o;
            }
        }
        if (option == nullptr) {
            *error = "unknown option '" + arg + "'";
            return false;
        }
        if (!option->takesValue) {
            parsed->flags.insert(arg);
        } else if (i + 1 >= argc) {
            *error = "option '" + arg + "' needs a value";
            return false;
        } else {
            parsed->values[arg] = argv[++i];
        }
    }
    return true;
}

std::filesystem::path pathFromArgument(const std::string& argument) {
#if defined(_WIN32)
    return std::filesystem::path(argument);
#else
    return std::filesystem::u8path(argument);
#endif
}

int usageError(const char* command, const std::string& message, const char* usage) {
    fprintf(stderr, "quizpack %s: %s\nusage: quizpack %s\n", command, message.c_str(), usage);
    return kExitBadInput;
}

void printDiagnostics(const std::vector<Diagnostic>& diagnostics) {
    for (const Diagnostic& d : diagnostics) {
        fputs(formatDiagnostic(d).c_str(), stderr);
    }
}
