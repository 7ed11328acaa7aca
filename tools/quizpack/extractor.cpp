#include "tools/quizpack/extractor.h"

#include <cstdio>

#include "tools/quizpack/file_io.h"

namespace fs = std::filesystem;

std::string mediaFileName(const MediaListing& media) {
    char name[32];
    snprintf(name, sizeof name, "media/%c%02d.%s",
             media.role == MediaRole::RevealPicture ? 'r' : 'q', media.question,
             mediaFormatExtension(media.format));
    return name;
}

namespace {

// Directories made by this extraction, removed again (when still empty) on failure.
struct MadeDirectories {
    std::vector<fs::path> made;
    bool committed = false;

    void make(const fs::path& dir) {
        std::error_code ec;
        if (fs::exists(dir, ec)) {
            return;
        }
        make(dir.parent_path().empty() ? fs::path(".") : dir.parent_path());
        if (!fs::create_directory(dir, ec) && ec) {
            throw FileError(displayPath(dir) + ": cannot create the folder (" + ec.message() + ")");
        }
        made.push_back(dir);
    }
    ~MadeDirectories() {
        if (committed)
            return;
        for (auto it = made.rbegin(); it != made.rend(); ++it) {
            std::error_code ec;
            fs::remove(*it, ec); // only removes an empty folder
        }
    }
};

std::vector<uint8_t> bytesOf(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

} // namespace

ExtractResult extractQuiz(const QuizReading& reading, const fs::path& dir, Overwrite overwrite) {
    if (reading.malformed) {
        throw ExtractError(reading.source +
                           ": its quiz package is malformed, so no description can rebuild it; "
                           "quizpack inspect shows what the player would load of it");
    }
    std::error_code ec;
    if (fs::exists(dir, ec)) {
        if (!fs::is_directory(dir, ec)) {
            throw ExtractError(displayPath(dir) + " exists and is not a folder");
        }
        if (overwrite == Overwrite::Refuse && !fs::is_empty(dir, ec)) {
            throw ExtractError(displayPath(dir) +
                               " is not empty; give an empty or new folder, or pass --force "
                               "to write into it (files of the same names are replaced)");
        }
    }

    ExtractResult result;
    std::vector<MediaListing> media = reading.media;
    std::vector<std::string> large; // pictures a plain build would store smaller
    for (MediaListing& m : media) {
        m.file = mediaFileName(m);
        bool picture = m.role == MediaRole::QuestionPicture || m.role == MediaRole::RevealPicture;
        if (picture && !playerShowsPicture(m.format)) {
            result.warnings.push_back(m.file + " is " + mediaFormatName(m.format) +
                                      ", which the player cannot show; build will convert it");
        } else if (picture &&
                   (m.pictureSize.width > kPictureBox || m.pictureSize.height > kPictureBox)) {
            large.push_back(m.file + " (" + std::to_string(m.pictureSize.width) + "x" +
                            std::to_string(m.pictureSize.height) + ")");
        } else if (m.format == MediaFormat::Unknown) {
            result.warnings.push_back(m.file + ": the format of IMG " +
                                      std::to_string(m.resourceId) +
                                      " is unknown; check will "
                                      "refuse it until it is replaced");
        }
    }
    if (!large.empty()) {
        result.warnings.push_back(
            std::to_string(large.size()) + " picture" + (large.size() == 1 ? " is" : "s are") +
            " larger than the player shows them, " + large.front() +
            (large.size() > 1 ? " and more" : "") +
            ": build them with --keep-pictures to store them unchanged (without it, build "
            "stores them at the size the player shows)");
    }
    std::vector<std::string> header = {
        "Extracted from " + reading.source + " by quizpack extract.",
        "quizpack build on this file makes the same \"PATCH\" resources again.",
    };
    std::vector<std::string> trailer;
    if (!reading.unusedImages.empty()) {
        trailer.push_back("Resources of " + reading.source +
                          " that this quiz never shows (not extracted):");
        for (const std::string& u : reading.unusedImages)
            trailer.push_back("  " + u);
    }
    std::string description = writeDescription(*reading.quiz, media, header, trailer);

    MadeDirectories dirs;
    dirs.make(dir);
    if (!media.empty()) {
        dirs.make(dir / "media");
    }
    struct Pending {
        fs::path temporary, target;
        bool replaces; // a file of that name was there before
    };
    std::vector<Pending> pending;
    auto stage = [&](const fs::path& target, const std::vector<uint8_t>& bytes) {
        std::error_code exists;
        bool replaces = fs::exists(target, exists);
        pending.push_back(Pending{writeTemporaryBeside(target, bytes), target, replaces});
    };
    try {
        for (const MediaListing& m : media) {
            const ImageResource* image = nullptr;
            for (const ImageResource& i : reading.images) {
                if (!i.name.isName() && i.name.number == m.resourceId) {
                    image = &i;
                    break;
                }
            }
            stage(dir / fs::u8path(m.file), image->data);
        }
        stage(dir / "quiz.toml", bytesOf(description));
        for (Pending& p : pending) {
            commitFile(p.temporary, p.target);
            result.written.push_back(p.target);
            p.temporary.clear();
        }
    } catch (...) {
        for (const Pending& p : pending) {
            if (!p.temporary.empty()) {
                discardFile(p.temporary);
            } else if (!p.replaces) {
                discardFile(p.target); // new files of a half-done extraction go again
            }
        }
        throw;
    }
    dirs.committed = true;
    return result;
}
