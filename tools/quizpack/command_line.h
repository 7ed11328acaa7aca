// Argument parsing shared by the authoring commands: positional arguments, "--name VALUE"
// options, "--flag" switches and --help.
#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/quizpack/diagnostics.h"

struct OptionSpec {
    const char* name; // "--player", "-o"
    bool takesValue;
};

struct ParsedArguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    bool help = false;

    bool has(const std::string& name) const { return flags.count(name) || values.count(name); }
    std::string value(const std::string& name) const {
        auto it = values.find(name);
        return it == values.end() ? std::string() : it->second;
    }
};

// Parses argv against the known options. On a mistake returns false with a message that
// names the argument.
bool parseArguments(int argc, char** argv, const std::vector<OptionSpec>& options,
                    ParsedArguments* parsed, std::string* error);

// A path given on the command line: UTF-8 on Linux, the ANSI code page in a Windows argv.
std::filesystem::path pathFromArgument(const std::string& argument);

// Prints "quizpack COMMAND: message" and the usage line to stderr; returns kExitBadInput.
int usageError(const char* command, const std::string& message, const char* usage);

// Every diagnostic to stderr, in the order found.
void printDiagnostics(const std::vector<Diagnostic>& diagnostics);
