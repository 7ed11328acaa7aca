// What the studio holds between requests: the folder of quizzes it lists, the quiz open in
// it (its description as a model, the revision the page edits, what is on disk, the last
// check), what it has learnt of the media, and the builds and exports under way. Every
// method takes the state's lock itself, so the server may call them from several threads.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "quizpack/description/description.h"
#include "quizpack/studio/media_library.h"
#include "quizpack/studio/studio_jobs.h"

// Where the studio starts: a folder of quizzes, or one quiz.
struct StudioPlace {
    std::filesystem::path folder;      // the folder it lists; empty when it opens one quiz only
    std::filesystem::path description; // the quiz to open first; empty: the list first
};

// The place `quizpack studio` names: a folder holding quiz.toml opens that quiz, another
// folder lists its quizzes, a .toml file opens that description. Throws QuizpackError
// (exit code 2) for a path that is neither a folder nor a file.
StudioPlace studioPlaceOf(const std::filesystem::path& given);

// The outcome of a request on the state, as the route answers it.
struct StudioReply {
    int status = 200;
    nlohmann::json body;
};

class StudioState {
  public:
    explicit StudioState(StudioPlace place, std::string ffmpeg = "ffmpeg");
    ~StudioState();

    // Everything the page draws: the list or the open quiz, with its check.
    StudioReply session();
    StudioReply openQuiz(const std::string& name);
    StudioReply createQuiz(const std::string& title, const std::string& kind);
    StudioReply showList();

    // Saves the page's model over the revision it was made from; a newer revision (another
    // tab) or a description changed on disk is a conflict, unless `force`, which keeps the
    // version on disk as a copy first.
    StudioReply save(const nlohmann::json& quiz, long long revision, bool force);
    // The revision and whether the description changed on disk since it was read or saved.
    StudioReply status();
    // Reads the description from disk again.
    StudioReply reload();

    // Stores a file sent for question `question` (1-based) as its `role` ("picture",
    // "reveal_picture", "clip"); the page then names it in the model.
    StudioReply storeMedia(int question, const std::string& role, const std::string& fileName,
                           const std::vector<uint8_t>& bytes);
    // The picture as the quiz will store and show it (the 260 x 260 fit), for the editor.
    std::shared_ptr<const WebMedia> picture(const std::string& path);
    // The questions of a CSV file, as the model holds them.
    StudioReply importTable(const std::string& fileName, const std::string& text);
    // The verdict the quiz gives `typed` in field `field` (1 or 2) of question `question`.
    StudioReply tryAnswer(int question, int field, const std::string& typed);
    // The quiz as its web page; an explanation page while the quiz has errors.
    std::string previewPage();

    StudioReply startJob(JobKind kind);
    StudioReply job(JobKind kind);
    // The file a finished job made, and its name; empty when there is none.
    std::filesystem::path jobOutput(JobKind kind);

    // Writes the open quiz's answer key as quizpack key does (TITLE-corrige.html beside
    // its description); its name and size, or why it could not.
    StudioReply writeKey();
    // The key written last; empty when there is none.
    std::filesystem::path keyPage();

    void requestQuit() { quit_ = true; }
    bool quitRequested() const { return quit_; }

    MediaLibrary& media() { return media_; }

  private:
    struct OpenQuiz {
        std::filesystem::path description;
        std::filesystem::path folder;
        nlohmann::json model;
        bool editable = false;
        std::string problem;
        bool writtenByStudio = false;
        std::vector<std::string> droppedKeys;
        std::string questionsFile;
        long long revision = 1;
        std::string diskHash; // of the text last read or written; "" when there was none
        std::shared_ptr<const CheckResult> check;
    };

    nlohmann::json quizJson(const std::vector<std::string>& notices);
    nlohmann::json listJson() const;
    void openDescription(const std::filesystem::path& description);
    void runCheck();
    void checkIfNeeded();
    std::string diskText(bool* exists) const;
    std::string keepCopy(const std::string& text);
    std::vector<std::string> namedMedia() const;
    std::shared_ptr<const CheckResult> currentCheck();
    // Why the open quiz cannot be built, exported or given its key (no quiz, or errors);
    // nothing when it can. Called with the lock held.
    std::optional<StudioReply> refuseToMake();

    StudioPlace place_;
    std::string ffmpeg_;
    mutable std::mutex mutex_;
    std::optional<OpenQuiz> quiz_;
    std::filesystem::path keyPage_;
    MediaLibrary media_;
    StudioJobs jobs_;
    std::atomic<bool> quit_{false};
};

// The diagnostics as the page lists them.
nlohmann::json diagnosticsJson(const std::vector<Diagnostic>& diagnostics);
