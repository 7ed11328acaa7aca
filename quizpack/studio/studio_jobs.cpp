#include "quizpack/studio/studio_jobs.h"

#include <chrono>

#include "quizpack/common/file_io.h"
#include "quizpack/executable/builder.h"
#include "quizpack/page/web_export.h"

namespace fs = std::filesystem;

namespace {

size_t slot(JobKind kind) {
    return kind == JobKind::Executable ? 0 : 1;
}

std::string firstErrors(const std::vector<Diagnostic>& diagnostics) {
    std::string text;
    for (const Diagnostic& d : diagnostics) {
        if (d.severity == Severity::Error) {
            text += formatDiagnostic(d);
        }
    }
    return text;
}

} // namespace

StudioJobs::~StudioJobs() {
    for (std::thread& t : threads_) {
        if (t.joinable()) {
            t.join();
        }
    }
}

bool StudioJobs::start(JobKind kind, const fs::path& description, const std::string& ffmpeg) {
    std::lock_guard<std::mutex> lock(mutex_);
    JobRecord& record = records_[slot(kind)];
    if (record.state == JobState::Running) {
        return false;
    }
    std::thread& thread = threads_[slot(kind)];
    if (thread.joinable()) {
        thread.join(); // finished: its record says so
    }
    record = JobRecord{};
    record.state = JobState::Running;
    thread = std::thread(&StudioJobs::run, this, kind, description, ffmpeg);
    return true;
}

JobRecord StudioJobs::record(JobKind kind) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return records_[slot(kind)];
}

void StudioJobs::progress(JobKind kind, size_t done, size_t total) {
    std::lock_guard<std::mutex> lock(mutex_);
    records_[slot(kind)].done = done;
    records_[slot(kind)].total = total;
}

void StudioJobs::finish(JobKind kind, JobRecord record) {
    std::lock_guard<std::mutex> lock(mutex_);
    record.done = records_[slot(kind)].done;
    record.total = records_[slot(kind)].total;
    records_[slot(kind)] = std::move(record);
}

// The same steps as quizpack build and export without -o: the output is named after the
// quiz's title, and an existing file is replaced only when it is what the command writes.
// It is written under a temporary name and renamed at the end, so the folder never holds
// half a file.
void StudioJobs::run(JobKind kind, fs::path description, std::string ffmpeg) {
    fs::path output;
    auto start = std::chrono::steady_clock::now();
    JobRecord done;
    done.state = JobState::Failed;
    try {
        std::vector<Diagnostic> problems;
        bool made = false;
        if (kind == JobKind::Executable) {
            BuildOptions options;
            options.description = description;
            BuildReport report =
                buildQuiz(options, [&](size_t index, size_t total, const MediaFile&,
                                       const std::string&) { progress(kind, index, total); });
            made = report.built;
            problems = report.diagnostics;
            output = report.output;
        } else {
            ExportOptions options;
            options.input = description;
            options.ffmpeg = ffmpeg;
            ExportReport report = exportWebPage(
                options,
                [&](size_t index, size_t total, uint32_t, const std::string&, const std::string&) {
                    progress(kind, index, total);
                },
                nullptr);
            made = report.exported;
            problems = report.diagnostics;
            output = report.output;
        }
        if (made) {
            done.state = JobState::Done;
            done.output = output;
            std::error_code ec;
            done.bytes = fs::file_size(output, ec);
        } else {
            done.message = firstErrors(problems);
        }
    } catch (const QuizpackError& e) {
        done.message = e.what();
    } catch (const std::exception& e) {
        done.message = e.what();
    }
    done.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    finish(kind, std::move(done));
}
