#include "quizpack/studio/studio_state.h"

#include <algorithm>
#include <cstdio>

#include "quizpack/common/cp1252.h"
#include "quizpack/common/file_io.h"
#include "quizpack/common/input_limits.h"
#include "quizpack/common/quiz_grading.h"
#include "quizpack/media/parallel.h"
#include "quizpack/page/answer_key.h"
#include "quizpack/page/sha256.h"
#include "quizpack/page/web_export.h"
#include "quizpack/studio/quiz_document.h"
#include "quizpack/studio/quiz_folders.h"
#include "quizpack/studio/studio_messages.h"
#include "quizpack/common/messages.h"

namespace fs = std::filesystem;
using json = nlohmann::json;

namespace {

const char* severityName(Severity severity) {
    return severity == Severity::Error     ? "error"
           : severity == Severity::Warning ? "warning"
                                           : "note";
}

std::string hashOf(const std::string& text) {
    std::array<uint8_t, 32> digest = sha256(text);
    return toHex(digest.data(), digest.size());
}

StudioReply reply(int status, json body) {
    return StudioReply{status, std::move(body)};
}

StudioReply failure(int status, StudioText text, const StudioArguments& arguments = {}) {
    return reply(status, {{"error", studioMessage(text, arguments)}});
}

} // namespace

json diagnosticsJson(const std::vector<Diagnostic>& diagnostics) {
    json list = json::array();
    for (const Diagnostic& d : diagnostics) {
        list.push_back({{"severity", severityName(d.severity)},
                        {"key", d.key},
                        {"message", d.message},
                        {"hint", d.hint},
                        {"line", d.line},
                        {"file", d.file}});
    }
    return list;
}

StudioState::StudioState(StudioPlace place, std::string ffmpeg)
    : place_(std::move(place)), ffmpeg_(std::move(ffmpeg)) {
    if (!place_.description.empty()) {
        std::lock_guard<std::mutex> lock(mutex_);
        openDescription(place_.description);
    }
}

StudioState::~StudioState() = default;

// ---- the list and the open quiz ----------------------------------------------------------

json StudioState::listJson() const {
    json quizzes = json::array();
    for (const ListedQuiz& q : listQuizzes(place_.folder)) {
        quizzes.push_back({{"name", q.name}, {"title", q.title}, {"kind", q.kind}});
    }
    return {{"mode", "list"}, {"folder", displayPath(place_.folder)}, {"quizzes", quizzes}};
}

json StudioState::quizJson(const std::vector<std::string>& notices) {
    const OpenQuiz& q = *quiz_;
    json body = {{"mode", "quiz"},
                 {"canList", !place_.folder.empty()},
                 {"file", displayPath(q.description)},
                 {"folder", displayPath(q.folder)},
                 {"editable", q.editable},
                 {"revision", q.revision},
                 {"notices", notices}};
    if (!q.editable) {
        body["problem"] = studioMessage(StudioText::NotEditable,
                                        {{"file", displayPath(q.description)}, {"why", q.problem}});
        return body;
    }
    checkIfNeeded();
    body["quiz"] = q.model;
    body["diagnostics"] = diagnosticsJson(q.check->diagnostics);
    body["unusedMedia"] = media_.unused(q.folder, namedMedia());
    return body;
}

void StudioState::openDescription(const fs::path& description) {
    OpenQuiz q;
    q.description = description;
    q.folder = description.parent_path().empty() ? fs::path(".") : description.parent_path();
    bool exists = false;
    quiz_ = std::move(q);
    std::string text = diskText(&exists);
    quiz_->diskHash = exists ? hashOf(text) : "";
    LoadedDescription loaded = loadStudioDescription(text, quiz_->folder);
    quiz_->editable = exists && loaded.editable;
    quiz_->problem = exists ? loaded.problem : tr("no such file");

    quiz_->model = loaded.quiz;
    quiz_->writtenByStudio = loaded.writtenByStudio;
    quiz_->droppedKeys = loaded.droppedKeys;
    quiz_->questionsFile = loaded.questionsFile;
    // Checked when first asked: the studio listens at once, even before a quiz of ninety
    // photos has had each decoded.
    quiz_->check = nullptr;
}

std::string StudioState::diskText(bool* exists) const {
    try {
        std::vector<uint8_t> bytes = readWholeFile(quiz_->description);
        *exists = true;
        return std::string(bytes.begin(), bytes.end());
    } catch (const FileError&) {
        *exists = false;
        return "";
    }
}

void StudioState::checkIfNeeded() {
    if (quiz_ && quiz_->editable && !quiz_->check) {
        runCheck();
    }
}

void StudioState::runCheck() {
    const fs::path folder = quiz_->folder;
    std::string text = writeStudioDescription(quiz_->model);
    MediaExaminer examiner = [this, folder](const MediaFile& m, PictureDecoding decoding) {
        return media_.examine(folder, m, decoding);
    };
    quiz_->check = std::make_shared<CheckResult>(checkDescriptionText(
        text, quiz_->description.filename().u8string(), folder, PictureDecoding::Full, examiner));
}

std::vector<std::string> StudioState::namedMedia() const {
    std::vector<std::string> named;
    for (const json& question : quiz_->model["questions"]) {
        for (const char* key : {"picture", "reveal_picture", "clip"}) {
            if (question.contains(key)) {
                named.push_back(question[key].get<std::string>());
            }
        }
    }
    return named;
}

std::shared_ptr<const CheckResult> StudioState::currentCheck() {
    std::lock_guard<std::mutex> lock(mutex_);
    checkIfNeeded();
    return quiz_ && quiz_->editable ? quiz_->check : nullptr;
}

StudioReply StudioState::session() {
    std::lock_guard<std::mutex> lock(mutex_);
    return reply(200, quiz_ ? quizJson({}) : listJson());
}

StudioReply StudioState::showList() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (place_.folder.empty()) {
        return failure(404, StudioText::NotFound, {{"path", "/"}});
    }
    quiz_.reset();
    return reply(200, listJson());
}

StudioReply StudioState::openQuiz(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (place_.folder.empty()) {
        return failure(404, StudioText::UnknownQuiz, {{"name", quoteInput(name)}});
    }
    for (const ListedQuiz& q : listQuizzes(place_.folder)) {
        if (q.name == name) {
            openDescription(q.description);
            return reply(200, quizJson({}));
        }
    }
    return failure(404, StudioText::UnknownQuiz, {{"name", quoteInput(name)}});
}

StudioReply StudioState::createQuiz(const std::string& title, const std::string& kind) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (place_.folder.empty()) {
        return failure(404, StudioText::NotFound, {{"path", "/"}});
    }
    if (kind != "text" && kind != "picture" && kind != "audio" && kind != "video") {
        return failure(400, StudioText::BadKind);
    }
    std::string name = quizFolderName(title);
    if (name.empty()) {
        return failure(400, StudioText::BadQuizName);
    }
    fs::path folder = place_.folder / fs::u8path(name);
    std::error_code ec;
    if (fs::exists(fs::symlink_status(folder, ec)) || !fs::create_directory(folder, ec) || ec) {
        return failure(409, StudioText::QuizExists, {{"name", quoteInput(name)}});
    }
    std::string text = writeStudioDescription(newQuizModel(kind, title));
    writeFileAtomically(folder / "quiz.toml", std::vector<uint8_t>(text.begin(), text.end()));
    openDescription(folder / "quiz.toml");
    return reply(200, quizJson({}));
}

// ---- saving ------------------------------------------------------------------------------

// The description's text as a copy beside it: NAME.orig, or NAME.orig-2, ... when taken.
std::string StudioState::keepCopy(const std::string& text) {
    for (int n = 1;; ++n) {
        fs::path copy = quiz_->description;
        copy += n == 1 ? ".orig" : ".orig-" + std::to_string(n);
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(copy, ec))) {
            writeFileAtomically(copy, std::vector<uint8_t>(text.begin(), text.end()));
            return copy.filename().u8string();
        }
    }
}

StudioReply StudioState::save(const json& model, long long revision, bool force) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!quiz_) {
        return failure(409, StudioText::NoQuizOpen);
    }
    if (!quiz_->editable) {
        return reply(409, quizJson({}));
    }
    if (std::string problem = quizModelProblem(model); !problem.empty()) {
        return failure(400, StudioText::BadJson, {{"why", problem}});
    }
    bool exists = false;
    std::string disk = diskText(&exists);
    bool changedOnDisk = (exists ? hashOf(disk) : "") != quiz_->diskHash;
    if (!force && (revision != quiz_->revision || changedOnDisk)) {
        json body = {{"conflict", changedOnDisk ? "disk" : "tab"},
                     {"error", changedOnDisk
                                   ? studioMessage(StudioText::ChangedOnDisk,
                                                   {{"file", displayPath(quiz_->description)}})
                                   : studioMessage(StudioText::SavedElsewhere)},
                     {"revision", quiz_->revision}};
        return reply(409, body);
    }
    std::vector<std::string> notices;
    if (exists && changedOnDisk) {
        notices.push_back(studioMessage(StudioText::CopyKept, {{"copy", keepCopy(disk)}}));
    } else if (exists && !quiz_->writtenByStudio) {
        std::string copy = keepCopy(disk);
        std::string file = quiz_->description.filename().u8string();
        notices.push_back(
            studioMessage(StudioText::OriginalKept, {{"file", file}, {"copy", copy}}));
        if (!quiz_->droppedKeys.empty()) {
            std::string keys;
            for (const std::string& k : quiz_->droppedKeys) {
                keys += (keys.empty() ? "" : ", ") + k;
            }
            notices.push_back(
                studioMessage(StudioText::KeysDropped, {{"keys", keys}, {"copy", copy}}));
        }
        if (!quiz_->questionsFile.empty()) {
            notices.push_back(
                studioMessage(StudioText::QuestionsFileReplaced, {{"file", quiz_->questionsFile}}));
        }
    }
    std::string text = writeStudioDescription(model);
    writeFileAtomically(quiz_->description, std::vector<uint8_t>(text.begin(), text.end()));
    quiz_->writtenByStudio = true;
    quiz_->droppedKeys.clear();
    quiz_->questionsFile.clear();
    quiz_->diskHash = hashOf(text);
    quiz_->model = model;
    ++quiz_->revision;
    runCheck();
    json body = {{"revision", quiz_->revision},
                 {"diagnostics", diagnosticsJson(quiz_->check->diagnostics)},
                 {"unusedMedia", media_.unused(quiz_->folder, namedMedia())},
                 {"notices", notices}};
    return reply(200, body);
}

StudioReply StudioState::status() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!quiz_) {
        return reply(200, {{"mode", "list"}});
    }
    bool exists = false;
    std::string disk = diskText(&exists);
    bool changed = (exists ? hashOf(disk) : "") != quiz_->diskHash;
    return reply(200,
                 {{"mode", "quiz"}, {"revision", quiz_->revision}, {"changedOnDisk", changed}});
}

StudioReply StudioState::reload() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!quiz_) {
        return failure(409, StudioText::NoQuizOpen);
    }
    long long revision = quiz_->revision;
    openDescription(quiz_->description);
    quiz_->revision = revision + 1;
    return reply(200, quizJson({}));
}

// ---- media, tables, trials and the preview -----------------------------------------------

StudioReply StudioState::storeMedia(int question, const std::string& role,
                                    const std::string& fileName,
                                    const std::vector<uint8_t>& bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!quiz_ || !quiz_->editable) {
        return failure(409, StudioText::NoQuizOpen);
    }
    int questions = static_cast<int>(quiz_->model["questions"].size());
    if (question < 1 || question > questions) {
        return failure(400, StudioText::UploadBadQuestion,
                       {{"question", std::to_string(question)}});
    }
    std::string kind = quiz_->model["settings"].value("kind", "text");
    UploadCheck checked = checkUpload(role, kind, fileName, bytes);
    if (!checked.ok()) {
        return reply(checked.status, {{"error", checked.message}});
    }
    char stem[16];
    snprintf(stem, sizeof stem, "%s%02d", role == "reveal_picture" ? "r" : "q", question);
    std::string path = media_.store(quiz_->folder, bytes, stem, checked.extension);
    return reply(200, {{"path", path}});
}

std::shared_ptr<const WebMedia> StudioState::picture(const std::string& path) {
    fs::path folder;
    Rgb background;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!quiz_ || !quiz_->editable) {
            return nullptr;
        }
        folder = quiz_->folder;
        checkIfNeeded();
        background = quiz_->check->description.background;
    }
    std::optional<fs::path> file = pathInsideFolder(folder, path);
    return file ? media_.pageMedia(*file, MediaRole::QuestionPicture, background, ffmpeg_)
                : nullptr;
}

StudioReply StudioState::importTable(const std::string& fileName, const std::string& text) {
    json questions;
    std::vector<Diagnostic> diagnostics;
    if (!readStudioQuestionTable(text, fileName, &questions, &diagnostics)) {
        return reply(400, {{"error", studioMessage(StudioText::CsvUnreadable)},
                           {"diagnostics", diagnosticsJson(diagnostics)}});
    }
    return reply(200, {{"questions", questions}, {"diagnostics", diagnosticsJson(diagnostics)}});
}

StudioReply StudioState::tryAnswer(int question, int field, const std::string& typed) {
    std::shared_ptr<const CheckResult> check = currentCheck();
    if (!check) {
        return failure(409, StudioText::NoQuizOpen);
    }
    const std::vector<QuestionEntry>& entries = check->description.questions;
    if (question < 1 || static_cast<size_t>(question) > entries.size() || field < 1 ||
        field > check->description.answersPerQuestion) {
        return failure(400, StudioText::BadTrial);
    }
    // What the player's field holds: Windows-1252, at most 259 characters; graded as
    // quizpack grade --quiz grades it.
    std::string field1252 = utf8ToCp1252AsTyped(typed);
    field1252.resize(std::min<size_t>(field1252.size(), kTextCapacity - 1));
    const QuizPtr quiz = makeQuiz(check->description);
    return reply(200, {{"verdict", cp1252ToUtf8(gradeQuizAnswer(quiz.get(), question - 1, field,
                                                                field1252.c_str()))}});
}

std::string StudioState::previewPage() {
    std::shared_ptr<const CheckResult> check = currentCheck();
    if (!check || !check->ok()) {
        return "";
    }
    fs::path folder;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        folder = quiz_->folder;
    }
    const Rgb background = check->description.background;
    const std::vector<MediaFile>& media = check->description.media;
    std::vector<std::shared_ptr<const WebMedia>> made(media.size());
    // Each picture is prepared once per content; the first preview prepares them on every
    // core.
    runInParallel(
        media.size(),
        [&](size_t i) {
            std::optional<fs::path> file = pathInsideFolder(folder, media[i].given);
            made[i] = file ? media_.pageMedia(*file, media[i].role, background, ffmpeg_) : nullptr;
        },
        [](size_t) {});
    return renderCheckedDescription(check->description, "quizz-studio-preview",
                                    [&](const MediaFile& m) { return made[&m - media.data()]; });
}

// ---- builds and exports ------------------------------------------------------------------

std::optional<StudioReply> StudioState::refuseToMake() {
    if (!quiz_ || !quiz_->editable) {
        return failure(409, StudioText::NoQuizOpen);
    }
    checkIfNeeded();
    int errors = countSeverity(quiz_->check->diagnostics, Severity::Error);
    if (errors > 0) {
        return failure(409, StudioText::HasErrors, {{"count", std::to_string(errors)}});
    }
    return std::nullopt;
}

StudioReply StudioState::startJob(JobKind kind) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (std::optional<StudioReply> refused = refuseToMake()) {
        return *refused;
    }
    if (!jobs_.start(kind, quiz_->description, ffmpeg_)) {
        return failure(409, StudioText::JobRunning);
    }
    return reply(202, {{"state", "running"}});
}

StudioReply StudioState::job(JobKind kind) {
    JobRecord r = jobs_.record(kind);
    const char* states[] = {"idle", "running", "done", "failed"};
    json body = {
        {"state", states[static_cast<int>(r.state)]}, {"done", r.done}, {"total", r.total}};
    if (r.state == JobState::Done) {
        body["file"] = r.output.filename().u8string();
        body["bytes"] = r.bytes;
        body["size"] = formatSize(r.bytes);
        body["seconds"] = r.seconds;
    } else if (r.state == JobState::Failed) {
        body["error"] = studioMessage(StudioText::JobFailed, {{"why", r.message}});
    }
    return reply(200, body);
}

fs::path StudioState::jobOutput(JobKind kind) {
    JobRecord r = jobs_.record(kind);
    return r.state == JobState::Done ? r.output : fs::path();
}

// ---- the answer key ----------------------------------------------------------------------

StudioReply StudioState::writeKey() {
    KeyOptions options;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (std::optional<StudioReply> refused = refuseToMake()) {
            return *refused;
        }
        options.input = quiz_->description;
    }
    try {
        KeyReport report = writeAnswerKey(options, [](const std::vector<Diagnostic>&) {});
        if (!report.written) {
            std::string why;
            for (const Diagnostic& d : report.diagnostics) {
                why += d.severity == Severity::Error ? formatDiagnostic(d) : "";
            }
            return failure(409, StudioText::KeyFailed, {{"why", why}});
        }
        std::lock_guard<std::mutex> lock(mutex_);
        keyPage_ = report.output;
        return reply(200, {{"file", report.output.filename().u8string()},
                           {"size", formatSize(report.pageBytes)}});
    } catch (const std::exception& e) {
        return failure(409, StudioText::KeyFailed, {{"why", e.what()}});
    }
}

fs::path StudioState::keyPage() {
    std::lock_guard<std::mutex> lock(mutex_);
    return keyPage_;
}

StudioPlace studioPlaceOf(const fs::path& given) {
    std::error_code ec;
    if (fs::is_directory(given, ec)) {
        if (fs::is_regular_file(given / "quiz.toml", ec)) {
            return StudioPlace{fs::path(), given / "quiz.toml"};
        }
        return StudioPlace{given, fs::path()};
    }
    if (fs::is_regular_file(given, ec)) {
        return StudioPlace{fs::path(), given};
    }
    throw QuizpackError(kExitBadInput,
                        tr("{path}: no such folder or description\ngive a folder of quizzes, a "
                           "quiz's folder or its description (QUIZ.toml), or nothing for the "
                           "current folder",
                           {{"path", displayPath(given)}}));
}
