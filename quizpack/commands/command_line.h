// The arguments of one quizpack command: positional words, "--name VALUE" options and
// "--flag" switches, and the helpers the commands share for their paths and messages.
#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "quizpack/common/diagnostics.h"

struct OptionSpec {
    const char* name; // "--player", "-o"
    bool takesValue;
};

struct CommandArguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;
    std::set<std::string> flags;
    bool help = false; // --help or -h was given

    bool has(const std::string& name) const { return flags.count(name) || values.count(name); }
    std::string value(const std::string& name) const {
        auto it = values.find(name);
        return it == values.end() ? std::string() : it->second;
    }
};

// Sorts the words after the command name into positional words and the known options; a
// word of two or more characters that begins with '-' is an option. Throws a usage
// mistake (QuizpackError) that names an unknown option or one without its value.
CommandArguments parseOptions(const std::vector<std::string>& words,
                              const std::vector<OptionSpec>& options);

// A path given on the command line: UTF-8 on Linux, the ANSI code page in a Windows argv.
std::filesystem::path pathFromArgument(const std::string& argument);

// Every diagnostic to stderr, in the order found.
void printDiagnostics(const std::vector<Diagnostic>& diagnostics);

// What a command that reads a quiz (`input`) and writes one file has to say besides its
// report: the warnings of reading an executable, and, when nothing was written because the
// description has errors, their count. Returns `written`.
bool reportQuizReading(const std::filesystem::path& input, const std::vector<std::string>& warnings,
                       const std::vector<Diagnostic>& diagnostics, bool written);
