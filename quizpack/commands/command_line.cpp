#include "quizpack/commands/command_line.h"

#include <cstdio>

#include "quizpack/common/file_io.h"
#include "quizpack/common/input_limits.h"
#include "quizpack/common/quizpack_error.h"
#include "quizpack/common/messages.h"

namespace {
const OptionSpec* findOption(const std::string& word, const std::vector<OptionSpec>& options) {
    for (const OptionSpec& o : options) {
        if (word == o.name) {
            return &o;
        }
    }
    return nullptr;
}
} // namespace

CommandArguments parseOptions(const std::vector<std::string>& words,
                              const std::vector<OptionSpec>& options) {
    CommandArguments parsed;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--help" || word == "-h") {
            parsed.help = true;
        } else if (word.size() < 2 || word[0] != '-') {
            parsed.positional.push_back(word);
        } else if (const OptionSpec* option = findOption(word, options)) {
            if (!option->takesValue) {
                parsed.flags.insert(word);
            } else if (i + 1 >= words.size()) {
                throw usageMistake(
                    tr("option '{option}' needs a value", {{"option", excerpt(word)}}));
            } else {
                parsed.values[word] = words[++i];
            }
        } else {
            throw usageMistake(tr("unknown option '{option}'", {{"option", excerpt(word)}}));
        }
    }
    return parsed;
}

std::filesystem::path pathFromArgument(const std::string& argument) {
#if defined(_WIN32)
    return std::filesystem::path(argument);
#else
    return std::filesystem::u8path(argument);
#endif
}

void printDiagnostics(const std::vector<Diagnostic>& diagnostics) {
    for (const Diagnostic& d : diagnostics) {
        fputs(formatDiagnostic(d).c_str(), stderr);
    }
}

bool reportQuizReading(const std::filesystem::path& input, const std::vector<std::string>& warnings,
                       const std::vector<Diagnostic>& diagnostics, bool written) {
    for (const std::string& w : warnings) {
        fputs(tr("{place}: warning: {message}", {{"place", displayPath(input)}, {"message", w}})
                  .c_str(),
              stderr);
        fputc('\n', stderr);
    }
    if (!written) {
        fputs(tr("{file}: {summary}; nothing written\n",
                 {{"file", displayPath(input)}, {"summary", summarizeDiagnostics(diagnostics)}})
                  .c_str(),
              stderr);
    }

    return written;
}
