#include "quizpack/common/diagnostics.h"

namespace {
const char* severityName(Severity severity) {
    switch (severity) {
    case Severity::Note:
        return "note";
    case Severity::Warning:
        return "warning";
    case Severity::Error:
        return "error";
    }
    return "error";
}

} // namespace

std::string countOf(size_t n, const char* noun) {
    return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

std::string formatDiagnostic(const Diagnostic& d) {
    std::string text = d.file;
    if (d.line > 0) {
        text += ":" + std::to_string(d.line);
        if (d.column > 0) {
            text += ":" + std::to_string(d.column);
        }
    }
    text += std::string(": ") + severityName(d.severity) + ": ";
    if (!d.key.empty()) {
        text += d.key + ": ";
    }
    text += d.message + "\n";
    if (!d.hint.empty()) {
        text += "    hint: " + d.hint + "\n";
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
        return "no problems";
    }
    if (errors == 0) {
        return countOf(warnings, "warning");
    }
    if (warnings == 0) {
        return countOf(errors, "error");
    }
    return countOf(errors, "error") + ", " + countOf(warnings, "warning");
}
