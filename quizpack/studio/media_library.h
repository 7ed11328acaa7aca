// The quiz folder's media files as the studio uses them: only files inside the quiz folder,
// each read, decoded and prepared once per content (its SHA-256), however often the quiz is
// checked or previewed; uploads stored under names the studio makes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "quizpack/description/description.h"
#include "quizpack/page/web_page.h"

// The file a path of the description or the page names inside `folder` ('/' or '\' between
// its parts). None for an empty or absolute path, a ".." part, or a path that leads out of
// the folder through a symbolic link.
std::optional<std::filesystem::path> pathInsideFolder(const std::filesystem::path& folder,
                                                      const std::string& utf8);

// What the studio makes of a file sent as a question's `role` (picture, reveal_picture,
// clip) in a quiz of `kind`.
struct UploadCheck {
    int status = 200;      // 200, or the HTTP status that refuses it
    std::string message;   // why it is refused
    std::string extension; // the name's extension for its format ("jpg", "mp3")
    bool ok() const { return status == 200; }
};
UploadCheck checkUpload(const std::string& role, const std::string& kind,
                        const std::string& fileName, const std::vector<uint8_t>& bytes);

class MediaLibrary {
  public:
    // The check's examiner for a description of `folder`: a file outside it is an error and
    // is not read; the others are decoded once per content. Safe on several threads.
    MediaFacts examine(const std::filesystem::path& folder, const MediaFile& media,
                       PictureDecoding decoding);

    // A picture or clip of the quiz as the page embeds it: prepared as build stores it, a
    // film converted to WebM with `ffmpeg`. Null when it cannot be (a picture that does not
    // decode, no ffmpeg). Kept per content, role and background colour.
    std::shared_ptr<const WebMedia> pageMedia(const std::filesystem::path& file, MediaRole role,
                                              Rgb background, const std::string& ffmpeg);

    // Stores an uploaded file as media/STEM.EXT in `folder` (or STEM-2.EXT, ... when that
    // name is taken), or names the file of media/ that already holds the same bytes. Returns
    // the path relative to the folder ("media/q01.jpg"). Throws FileError.
    std::string store(const std::filesystem::path& folder, const std::vector<uint8_t>& bytes,
                      const std::string& stem, const std::string& extension);

    // The files of `folder`/media that none of `named` (paths relative to the folder) is.
    std::vector<std::string> unused(const std::filesystem::path& folder,
                                    const std::vector<std::string>& named);

    // The SHA-256 of a file's bytes, read again only when its size or time changed; *bytes
    // gets them when it was read. Empty when the file cannot be read.
    std::string contentHash(const std::filesystem::path& file, std::vector<uint8_t>* bytes);

  private:
    struct Known {
        uintmax_t size = 0;
        std::filesystem::file_time_type time;
        std::string hash;
    };
    std::mutex mutex_;
    std::map<std::filesystem::path, Known> known_;
    std::map<std::string, MediaFacts> facts_;
    std::map<std::string, std::shared_ptr<const WebMedia>> prepared_;
};
