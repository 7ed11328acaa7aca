#include "quizpack/common/diagnostics.h"
#include "quizpack/common/messages.h"

namespace {

// "quiz.toml:12: error: question[3].answers: what is wrong", whole for the translators.
std::string headLine(Severity severity, const std::string& place, const std::string& key,
                     const std::string& message) {
    const MessageArguments arguments = {{"place", place}, {"key", key}, {"message", message}};
    switch (severity) {
    case Severity::Note:
        return key.empty() ? tr("{place}: note: {message}", arguments)
                           : tr("{place}: note: {key}: {message}", arguments);
    case Severity::Warning:
        return key.empty() ? tr("{place}: warning: {message}", arguments)
                           : tr("{place}: warning: {key}: {message}", arguments);
    case Severity::Error:
        break;
    }
    return key.empty() ? tr("{place}: error: {message}", arguments)
                       : tr("{place}: error: {key}: {message}", arguments);
}

} // namespace

std::string formatDiagnostic(const Diagnostic& d) {
    std::string text = d.file;
    if (d.line > 0) {
        text += ":" + std::to_string(d.line);
        if (d.column > 0) {
            text += ":" + std::to_string(d.column);
        }
    }
    text = headLine(d.severity, text, d.key, d.message) + "\n";
    if (!d.hint.empty()) {
        text += tr("    hint: {hint}", {{"hint", d.hint}}) + "\n";
    }
    return text;
}

bool hasErrors(const std::vector<Diagnostic>& diagnostics) {
    return countSeverity(diagnostics, Severity::Error) > 0;
}

int countSeverity(const std::vector<Diagnostic>& diagnostics, Severity severity) {
    int n = 0;
    for (const Diagnostic& d : diagnostics) {
        n += d.severity == severity;
    }
    return n;
}

std::string summarizeDiagnostics(const std::vector<Diagnostic>& diagnostics) {
    int errors = countSeverity(diagnostics, Severity::Error);
    int warnings = countSeverity(diagnostics, Severity::Warning);
    if (errors == 0 && warnings == 0) {
        return tr("no problems");
    }
    const std::string errorCount = trn("{n} error", "{n} errors", errors);
    const std::string warningCount = trn("{n} warning", "{n} warnings", warnings);
    if (errors == 0) {
        return warningCount;
    }
    if (warnings == 0) {
        return errorCount;
    }
    // TRANSLATORS: "2 errors, 1 warning": the two counts above.
    return tr("{errors}, {warnings}", {{"errors", errorCount}, {"warnings", warningCount}});
}
