// The studio's builds and exports: quizpack build and export of the open quiz, each run on a
// thread of its own while the quiz stays editable, their progress kept for the page to ask.
#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

enum class JobKind { Executable, Page };

enum class JobState { Idle, Running, Done, Failed };

struct JobRecord {
    JobState state = JobState::Idle;
    size_t done = 0, total = 0; // media files prepared, of how many
    std::string message;        // why it failed
    std::filesystem::path output;
    uint64_t bytes = 0;
    double seconds = 0;
};

class StudioJobs {
  public:
    StudioJobs() = default;
    ~StudioJobs();
    StudioJobs(const StudioJobs&) = delete;
    StudioJobs& operator=(const StudioJobs&) = delete;

    // Starts making `kind` from `description`, named as the command names it; false when one
    // of that kind is running already.
    bool start(JobKind kind, const std::filesystem::path& description, const std::string& ffmpeg);
    JobRecord record(JobKind kind) const;

  private:
    void run(JobKind kind, std::filesystem::path description, std::string ffmpeg);
    void progress(JobKind kind, size_t done, size_t total);
    void finish(JobKind kind, JobRecord record);

    mutable std::mutex mutex_;
    JobRecord records_[2];
    std::thread threads_[2];
};
