#include "quizpack/page/web_export.h"

#include <chrono>
#include <random>

#include "content/package.h"
#include "quizpack/executable/builder.h"
#include "quizpack/description/description.h"
#include "quizpack/common/external_program.h"
#include "quizpack/common/file_io.h"
#include "quizpack/common/input_limits.h"
#include "quizpack/common/output_names.h"
#include "quizpack/executable/packing.h"
#include "quizpack/media/parallel.h"
#include "quizpack/executable/quiz_reader.h"
#include "quizpack/page/web_page.h"
#include "quizpack/common/messages.h"

namespace fs = std::filesystem;

const char* webMimeType(MediaFormat format) {
    switch (format) {
    case MediaFormat::Jpeg:
        return "image/jpeg";
    case MediaFormat::Png:
        return "image/png";
    case MediaFormat::Gif:
        return "image/gif";
    case MediaFormat::Bmp:
        return "image/bmp";
    case MediaFormat::Mp3:
        return "audio/mpeg";
    case MediaFormat::Wave:
        return "audio/wav";
    case MediaFormat::Ogg:
        return "audio/ogg";
    case MediaFormat::Flac:
        return "audio/flac";
    case MediaFormat::Mp4:
        return "video/mp4";
    default:
        return "application/octet-stream";
    }
}

std::string describeIfNotExportedPage(const std::vector<uint8_t>& bytes) {
    // The quiz's data block comes before its media, a few kilobytes into the page.
    const std::string_view start(reinterpret_cast<const char*>(bytes.data()),
                                 bytes.size() < kPageMarkerWithin ? bytes.size()
                                                                  : kPageMarkerWithin);
    return start.find(kQuizDataMarker) != std::string_view::npos ? "" : describeFileContent(bytes);
}

namespace {

// One picture or clip to embed, from a description's file or an executable's resource.
struct MediaJob {
    MediaRole role = MediaRole::QuestionPicture;
    int question = 0;
    uint32_t resourceId = 0;
    std::string name; // for progress lines and messages
    fs::path path;    // a description's file; empty for a resource
    std::vector<uint8_t> bytes;
    std::string file; // where a description named it: the description or its CSV file
    int line = 0;
    int column = 0;
    std::string key;
};

struct MediaResult {
    WebMedia media;
    std::string done;
    std::string error; // a picture that does not decode
    std::string hint;  // how to mend it
};

void requireFfmpeg(const std::string& ffmpeg) {
    if (runExternalProgram({ffmpeg, "-hide_banner", "-loglevel", "error", "-version"}) != 0) {
        throw ExportError(
            tr("this quiz has films: browsers do not play its AVI clips, so export converts them "
               "to WebM with ffmpeg, and '{ffmpeg}' cannot be run\n"
               "install ffmpeg (Debian: apt-get install ffmpeg; Windows: put ffmpeg.exe on the "
               "PATH) and export again",
               {{"ffmpeg", ffmpeg}}));
    }
}

// A private scratch folder for one conversion, removed with what is in it.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::random_device random;
        path_ = fs::temp_directory_path() /
                ("quizpack-film-" + std::to_string(random()) + std::to_string(random()));
        fs::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const fs::path& path() const { return path_; }

  private:
    fs::path path_;
};

} // namespace

std::vector<uint8_t> convertFilmToWebm(const std::vector<uint8_t>& film, const std::string& name,
                                       const std::string& ffmpeg) {
    ScratchFolder scratch;
    fs::path in = scratch.path() / "film.avi";
    fs::path out = scratch.path() / "film.webm";
    writeFileAtomically(in, film);
    // VP8 and Opus: what every current browser plays in WebM.
    int status = runExternalProgram(
        {ffmpeg,      "-nostdin", "-hide_banner", "-loglevel", "error", "-y",   "-i",
         in.string(), "-c:v",     "libvpx",       "-crf",      "10",    "-b:v", "1M",
         "-c:a",      "libopus",  "-b:a",         "64k",       "-f",    "webm", out.string()});
    std::error_code ec;
    if (status != 0 || !fs::is_regular_file(out, ec)) {
        throw ExportError(status < 0
                              ? tr("{film}: ffmpeg could not convert this film to WebM (ffmpeg "
                                   "did not start)\ncheck that it plays (ffplay FILE) and save it "
                                   "again as an AVI clip",
                                   {{"film", name}})
                              : tr("{film}: ffmpeg could not convert this film to WebM (exit code "
                                   "{status})\ncheck that it plays (ffplay FILE) and save it again "
                                   "as an AVI clip",
                                   {{"film", name}, {"status", status}}));
    }
    return readWholeFile(out);
}

namespace {

MediaResult prepareJob(const MediaJob& job, const ExportOptions& options, Rgb background) {
    MediaResult result;
    std::vector<uint8_t> bytes = job.path.empty() ? job.bytes : readWholeFile(job.path);
    if (job.role == MediaRole::VideoClip) {
        size_t before = bytes.size();
        result.media.bytes = convertFilmToWebm(
            bytes, tr("{file} (question {q})", {{"file", job.name}, {"q", job.question}}),
            options.ffmpeg);
        result.media.mime = "video/webm";
        result.done = tr("{format} film converted to WebM (VP8, Opus), {before} -> {after}",
                         {{"format", mediaFormatName(sniffMediaFormat(bytes))},
                          {"before", formatSize(before)},
                          {"after", formatSize(result.media.bytes.size())}});
        return result;
    }
    // Pictures and sounds: exactly what build stores.
    PreparedMedia prepared =
        prepareMediaBytes(std::move(bytes), job.role, options.downscaling, background);
    result.done = std::move(prepared.done);
    result.error = std::move(prepared.error);
    result.hint = std::move(prepared.hint);
    result.media.mime = webMimeType(sniffMediaFormat(prepared.bytes));
    result.media.bytes = std::move(prepared.bytes);
    return result;
}

// What the page is made of, read from a quiz executable or a checked description.
struct ExportSource {
    QuizPtr quiz;
    std::vector<MediaJob> jobs;
    bool fromExecutable = false;
    WebPackedResources packed;        // an executable's, as stored; empty for a description
    std::vector<CommandInput> inputs; // what the page may not be written over
};

ExportSource readExecutable(const ExportOptions& options, ExportReport* report) {
    std::string source = displayPath(options.input);
    QuizReading reading = readQuizExecutable(readWholeFile(options.input), source);
    if (reading.malformed) {
        std::string why;
        for (const std::string& w : reading.warnings) {
            why += "\n  " + w;
        }
        throw ExportError(tr("{file}: its quiz does not match its own counts:{why}\nextract it "
                             "(quizpack extract), mend the description and export that",
                             {{"file", source}, {"why", why}}));
    }
    report->warnings = reading.warnings;
    report->storageKey = webStorageKey(reading.package, reading.codeTable);
    ExportSource exported;
    exported.fromExecutable = true;
    exported.packed.package = reading.packedPackage;
    exported.packed.codeTable = reading.packedCodes;
    exported.packed.extras = reading.packedExtras;
    exported.packed.codeTableFound = !reading.packedCodes.empty() || reading.codesEmpty;
    exported.inputs = {{options.input, tr("the quiz executable")}};
    for (const MediaListing& m : reading.media) {
        MediaJob job;
        job.role = m.role;
        job.question = m.question;
        job.resourceId = m.resourceId;
        job.name = tr("resource IMG {id}", {{"id", m.resourceId}});
        job.bytes = imageData(reading, m.resourceId);
        exported.jobs.push_back(std::move(job));
    }
    exported.quiz = std::move(reading.quiz);
    return exported;
}

// Null quiz when the description has errors; they are in the report then.
ExportSource readDescription(const ExportOptions& options, const CheckedCallback& checked,
                             ExportReport* report) {
    const Description description = checkBeforeMaking(options.input, &report->diagnostics, checked);
    ExportSource exported;
    if (hasErrors(report->diagnostics)) {
        return exported;
    }
    exported.inputs = descriptionInputs(options.input, description);
    exported.quiz = makeQuiz(description);
    report->storageKey =
        webStorageKey(layOutPackage(*exported.quiz), codeTableBytes(*exported.quiz));
    for (const MediaFile& m : description.media) {
        MediaJob job;
        job.role = m.role;
        job.question = m.question;
        job.resourceId = m.resourceId;
        job.name = m.given;
        job.path = m.path;
        job.file = m.file;
        job.line = m.line;
        job.column = m.column;
        job.key = m.key;
        exported.jobs.push_back(std::move(job));
    }
    return exported;
}

// Puts a picture or clip on the page as its question's (or reveal) media.
void placeMedia(WebQuiz* page, MediaRole role, int question, WebMedia media) {
    size_t q = static_cast<size_t>(question - 1);
    if (question >= 1 && q < page->questionMedia.size()) {
        std::vector<int>& slot =
            role == MediaRole::RevealPicture ? page->revealPicture : page->questionMedia;
        slot[q] = static_cast<int>(page->media.size());
    }
    page->media.push_back(std::move(media));
}

// One slot per question for its media and its reveal picture, empty.
void makeMediaSlots(WebQuiz* page) {
    const size_t questions = static_cast<size_t>(page->quiz->questionCount);
    page->questionMedia.assign(questions, -1);
    page->revealPicture.assign(questions, -1);
}

// Prepares every picture and clip on all cores and puts them on the page in description
// order. A picture that does not decode is an error in a description; in an executable the
// player shows an empty box for it, and so does the page.
std::vector<Diagnostic> addAllMedia(const ExportSource& source, const ExportOptions& options,
                                    const ExportProgress& progress, ExportReport* report,
                                    WebQuiz* page) {
    const std::vector<MediaJob>& jobs = source.jobs;
    for (const MediaJob& job : jobs) {
        if (job.role == MediaRole::VideoClip) {
            requireFfmpeg(options.ffmpeg);
            break;
        }
    }
    const Rgb background = rgbOfColourref(source.quiz->backgroundColour);
    std::vector<MediaResult> results(jobs.size());
    std::vector<Diagnostic> pictureErrors;
    runInParallel(
        jobs.size(), [&](size_t i) { results[i] = prepareJob(jobs[i], options, background); },
        [&](size_t i) {
            const MediaJob& job = jobs[i];
            MediaResult& result = results[i];
            if (!result.error.empty()) {
                if (source.fromExecutable) {
                    report->warnings.push_back(
                        tr("{file} (question {q}) does not decode and is left out: {reason}",
                           {{"file", job.name}, {"q", job.question}, {"reason", result.error}}));
                } else {
                    pictureErrors.push_back(
                        Diagnostic{job.file, job.line, job.key, Severity::Error,
                                   tr("{what}: {problem}",
                                      {{"what", quoteInput(job.name)}, {"problem", result.error}}),

                                   result.hint, job.column});
                }
                return;
            }
            report->mediaBytes += result.media.bytes.size();
            placeMedia(page, job.role, job.question, std::move(result.media));
            if (progress) {
                progress(i + 1, jobs.size(), job.resourceId, job.name, result.done);
            }
        });
    return pictureErrors;
}

} // namespace

ExportReport exportWebPage(const ExportOptions& options, const ExportProgress& progress,
                           const CheckedCallback& checked) {
    auto start = std::chrono::steady_clock::now();
    ExportReport report;
    ExportSource source = startsLikeExecutable(options.input)
                              ? readExecutable(options, &report)
                              : readDescription(options, checked, &report);
    if (!source.quiz) {
        return report;
    }
    report.output = options.output.empty()
                        ? defaultOutputPath(options.input, source.quiz->title, ".html")
                        : options.output;
    refuseOutputOverInputs(report.output, source.inputs, options.readOnlyOutput);
    refuseReplacingOtherFile(report.output, tr("a page quizpack exported"),
                             describeIfNotExportedPage, options.readOnlyOutput);
    WebQuiz page;
    page.quiz = source.quiz.get();
    page.storageKey = report.storageKey;
    page.packed = std::move(source.packed);
    makeMediaSlots(&page);
    if (!noPictureErrors(addAllMedia(source, options, progress, &report, &page),
                         &report.diagnostics, checked)) {
        return report;
    }

    std::string html = renderWebPage(page);
    writeFileAtomically(report.output, std::vector<uint8_t>(html.begin(), html.end()));
    report.exported = true;
    report.questions = page.questionMedia.size();
    report.mediaCount = page.media.size();
    report.pageBytes = html.size();
    report.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return report;
}

std::string renderCheckedDescription(const Description& description, const std::string& storageKey,
                                     const PageMediaSource& media) {
    QuizPtr quiz = makeQuiz(description);
    WebQuiz page;
    page.quiz = quiz.get();
    page.storageKey = storageKey;
    makeMediaSlots(&page);
    for (const MediaFile& m : description.media) {
        if (std::shared_ptr<const WebMedia> made = media(m)) {
            placeMedia(&page, m.role, m.question, *made);
        }
    }
    return renderWebPage(page);
}
