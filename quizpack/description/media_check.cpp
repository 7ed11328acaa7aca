#include "quizpack/description/media_check.h"

#include "quizpack/common/closest_name.h"
#include "quizpack/common/file_io.h"
#include "quizpack/common/input_limits.h"
#include "quizpack/media/parallel.h"
#include "quizpack/common/messages.h"

namespace fs = std::filesystem;

namespace {

bool isPicture(MediaRole role) {
    return role == MediaRole::QuestionPicture || role == MediaRole::RevealPicture;
}

// The checks of one media file, with their own list of problems.
struct MediaCheck {
    const std::string& file;
    const fs::path& folder;
    PictureDecoding decoding;
    std::vector<Diagnostic>* out;

    void add(Severity severity, const MediaFile& media, const std::string& message,
             const std::string& hint) {
        out->push_back(
            Diagnostic{media.file, media.line, media.key, severity, message, hint, media.column});
    }

    void run(MediaFile& media, const MediaExaminer& examiner) {
        if (!findOnDisk(media)) {
            return;
        }
        const MediaFacts facts =
            examiner ? examiner(media, decoding) : examineMediaFile(media, decoding);
        if (!facts.readError.empty()) {
            add(Severity::Error, media, facts.readError,
                !facts.readHint.empty()
                    ? facts.readHint
                    : relativeHint());
            return;
        }
        media.size = facts.size;
        media.format = facts.format;
        std::string name = quoteInput(media.given);
        if (facts.size == 0) {
            add(Severity::Error, media, tr("{file} is empty", {{"file", name}}),
                tr("give a file with content"));
            return;
        }
        switch (media.role) {
        case MediaRole::QuestionPicture:
        case MediaRole::RevealPicture:
            checkPicture(media, facts, name);
            break;
        case MediaRole::AudioClip:
            if (media.format != MediaFormat::Mp3) {
                add(Severity::Error, media,
                    tr("{file} is {format}, not an MP3 clip; audio quizzes play MP3 files",
                       {{"file", name}, {"format", formatDescription(media.format)}}),
                    tr("convert it, for example: lame IN.wav OUT.mp3 (or ffmpeg -i IN OUT.mp3)"));
            }
            break;
        case MediaRole::VideoClip:
            if (media.format != MediaFormat::Avi) {
                add(Severity::Error, media,
                    tr("{file} is {format}, not an AVI clip; video quizzes play AVI files",
                       {{"file", name}, {"format", formatDescription(media.format)}}),
                    tr("convert it, for example: ffmpeg -i IN OUT.avi"));
            }
            break;
        }
    }

    // A file named in another case is taken, with a warning, on every system: Windows would
    // open it and Linux would not, and a quiz must build the same everywhere.
    bool findOnDisk(MediaFile& media) {
        const fs::path base = media.written.is_absolute() ? fs::path() : folder;
        const FileLookup lookup = lookUpFile(base, media.written);
        if (lookup.found.empty()) {
            const MessageArguments arguments = {{"file", displayPath(media.path)},
                                                {"name", quoteInput(lookup.suggestion)}};
            if (lookup.suggestion.empty()) {
                add(Severity::Error, media, tr("{file}: no such file", arguments), relativeHint());
            } else {
                add(Severity::Error, media,
                    tr("{file}: no such file; did you mean {name}?", arguments),
                    tr("write {name}, or give the file the name the description says", arguments));
            }
            return false;
        }
        if (lookup.found != media.written) {
            const std::string onDisk = lookup.found.generic_u8string();
            const MessageArguments arguments = {{"given", quoteInput(media.given)},
                                                {"name", quoteInput(onDisk)}};
            add(Severity::Warning, media,
                tr("{given} is named {name} on disk: Windows opens it under either name, Linux "
                   "and web hosts only under its own; quizpack takes {name}",
                   arguments),
                tr("write {name}, as the file is named", arguments));
            media.path = base / lookup.found;
        }
        return true;
    }

    std::string relativeHint() const {
        return tr("paths are relative to the description's folder ({folder})",
                  {{"folder", displayPath(folder.empty() ? fs::path(".") : folder)}});
    }

    // TRANSLATORS: what a media file is, in "{file} is {format}, not an MP3 clip".
    static std::string formatDescription(MediaFormat format) {
        return format == MediaFormat::Unknown
                   ? tr("of no known format")
                   : tr("a {format} file", {{"format", mediaFormatName(format)}});
    }

    void checkPicture(MediaFile& media, const MediaFacts& facts, const std::string& name) {
        if (!facts.pictureError.empty()) {
            add(Severity::Error, media,
                tr("{what}: {problem}", {{"what", name}, {"problem", facts.pictureError}}),
                facts.pictureHint);
            return;
        }
        media.pictureSize = facts.picture.size;
        if (!playerShowsPicture(facts.picture.format)) {
            add(Severity::Note, media,
                tr("{file} is a {format} picture, which the player cannot show; build converts "
                   "it to JPEG",
                   {{"file", name}, {"format", mediaFormatName(facts.picture.format)}}),

                "");
        }
    }
};

} // namespace

MediaFacts examineMediaFile(const MediaFile& media, PictureDecoding decoding) {
    MediaFacts facts;
    std::vector<uint8_t> bytes;
    try {
        bytes = readWholeFile(media.path);
    } catch (const FileError& e) {
        facts.readError = e.what();
        return facts;
    }
    facts.size = bytes.size();
    facts.format = sniffMediaFormat(bytes);
    if (bytes.empty() || !isPicture(media.role)) {
        return facts;
    }
    try {
        facts.picture =
            decoding == PictureDecoding::Full ? inspectPicture(bytes) : inspectPictureHeader(bytes);
    } catch (const PictureError& e) {
        facts.pictureError = e.what();
        facts.pictureHint = e.hint;
    }
    return facts;
}

// Every media file is read and checked on its own core; the problems are merged in
// description order.
void checkMediaFiles(Description* d, PictureDecoding decoding, std::vector<Diagnostic>* diagnostics,
                     const MediaExaminer& examiner) {
    std::vector<std::vector<Diagnostic>> found(d->media.size());
    runInParallel(
        d->media.size(),
        [&](size_t i) {
            MediaCheck check{d->file, d->folder, decoding, &found[i]};
            check.run(d->media[i], examiner);
        },
        [&](size_t i) {
            diagnostics->insert(diagnostics->end(), found[i].begin(), found[i].end());
        });
}
