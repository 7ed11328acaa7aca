#include "quizpack/studio/media_library.h"

#include <algorithm>

#include "quizpack/common/file_io.h"
#include "quizpack/common/input_limits.h"
#include "quizpack/media/media_formats.h"
#include "quizpack/executable/builder.h"
#include "quizpack/page/sha256.h"
#include "quizpack/page/web_export.h"
#include "quizpack/studio/studio_http.h"
#include "quizpack/studio/studio_messages.h"

namespace fs = std::filesystem;

namespace {

bool isPicture(MediaRole role) {
    return role == MediaRole::QuestionPicture || role == MediaRole::RevealPicture;
}

bool isInside(const fs::path& path, const fs::path& folder) {
    auto p = path.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++p) {
        if (f->empty()) {
            continue; // the trailing "" of "dir/"
        }
        if (p == path.end() || *p != *f) {
            return false;
        }
    }
    return true;
}

// A name a browser gives a file it sends: a base name, never a path.
bool plainFileName(const std::string& name) {
    if (name.empty() || name == "." || name == ".." || name.size() > 255) {
        return false;
    }
    for (unsigned char c : name) {
        if (c < 0x20 || c == '/' || c == '\\' || c == ':' || c == 0x7F) {
            return false;
        }
    }
    return true;
}

UploadCheck refused(int status, StudioText text, const StudioArguments& arguments = {}) {
    return UploadCheck{status, studioMessage(text, arguments), ""};
}

} // namespace

std::optional<fs::path> pathInsideFolder(const fs::path& folder, const std::string& utf8) {
    std::string relative = utf8;
    for (char& c : relative) {
        c = c == '\\' ? '/' : c;
    }
    if (relative.empty() || relative[0] == '/' || relative.find(':') != std::string::npos ||
        relative.find('\0') != std::string::npos) {
        return std::nullopt;
    }
    fs::path given = fs::u8path(relative);
    for (const fs::path& part : given) {
        if (part == "..") {
            return std::nullopt;
        }
    }
    std::error_code ec;
    fs::path root = fs::weakly_canonical(folder, ec);
    if (ec) {
        return std::nullopt;
    }
    // Symbolic links are seen through: the real place must still be in the real folder.
    fs::path real = fs::weakly_canonical(root / given, ec);
    if (ec || !isInside(real, root)) {
        return std::nullopt;
    }
    return root / given;
}

std::string MediaLibrary::contentHash(const fs::path& file, std::vector<uint8_t>* bytes) {
    std::error_code ec;
    uintmax_t size = fs::file_size(file, ec);
    fs::file_time_type time = ec ? fs::file_time_type() : fs::last_write_time(file, ec);
    if (ec) {
        return "";
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = known_.find(file);
        if (it != known_.end() && it->second.size == size && it->second.time == time) {
            return it->second.hash;
        }
    }
    std::vector<uint8_t> read;
    try {
        read = readWholeFile(file);
    } catch (const FileError&) {
        return "";
    }
    std::array<uint8_t, 32> digest =
        sha256(std::string_view(reinterpret_cast<const char*>(read.data()), read.size()));
    std::string hash = toHex(digest.data(), digest.size());
    {
        std::lock_guard<std::mutex> lock(mutex_);
        known_[file] = Known{size, time, hash};
    }
    if (bytes != nullptr) {
        *bytes = std::move(read);
    }
    return hash;
}

MediaFacts MediaLibrary::examine(const fs::path& folder, const MediaFile& media,
                                 PictureDecoding decoding) {
    // The name the check found on disk (another case, say), as the command-line tools take
    // it; a path that leaves the folder comes back with ".." and is refused.
    const fs::path found = media.path.lexically_relative(folder);
    std::optional<fs::path> inside = pathInsideFolder(folder, found.generic_u8string());
    if (!inside) {
        MediaFacts refused;
        refused.readError = studioMessage(StudioText::OutsideFolder, {{"path", media.given}});
        refused.readHint = studioMessage(StudioText::OutsideFolderHint);
        return refused;
    }
    MediaFile local = media;
    local.path = *inside;
    std::vector<uint8_t> unused;
    std::string hash = contentHash(local.path, &unused);
    if (hash.empty()) {
        return examineMediaFile(local, decoding); // says why it cannot be read
    }
    std::string key = hash + (isPicture(media.role) ? "/picture" : "/other") +
                      (decoding == PictureDecoding::Full ? "/full" : "/header");
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = facts_.find(key);
        if (it != facts_.end()) {
            return it->second;
        }
    }
    MediaFacts facts = examineMediaFile(local, decoding);
    if (facts.readError.empty()) {
        std::lock_guard<std::mutex> lock(mutex_);
        facts_[key] = facts;
    }
    return facts;
}

std::shared_ptr<const WebMedia> MediaLibrary::pageMedia(const fs::path& file, MediaRole role,
                                                        Rgb background, const std::string& ffmpeg) {
    std::vector<uint8_t> bytes;
    std::string hash = contentHash(file, &bytes);
    if (hash.empty()) {
        return nullptr;
    }
    std::string key =
        hash + "/" + std::to_string(static_cast<int>(role)) + "/" + colourName(background);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = prepared_.find(key);
        if (it != prepared_.end()) {
            return it->second;
        }
    }
    if (bytes.empty()) {
        try {
            bytes = readWholeFile(file);
        } catch (const FileError&) {
            return nullptr;
        }
    }
    auto media = std::make_shared<WebMedia>();
    if (role == MediaRole::VideoClip) {
        try {
            media->bytes = convertFilmToWebm(bytes, displayPath(file), ffmpeg);
        } catch (const QuizpackError&) {
            return nullptr;
        }
        media->mime = "video/webm";
    } else {
        PreparedMedia prepared =
            prepareMediaBytes(std::move(bytes), role, Downscaling::ToPlayerBox, background);
        if (!prepared.error.empty()) {
            return nullptr;
        }
        media->mime = webMimeType(sniffMediaFormat(prepared.bytes));
        media->bytes = std::move(prepared.bytes);
    }
    std::lock_guard<std::mutex> lock(mutex_);
    prepared_[key] = media;
    return media;
}

std::string MediaLibrary::store(const fs::path& folder, const std::vector<uint8_t>& bytes,
                                const std::string& stem, const std::string& extension) {
    std::optional<fs::path> mediaFolder = pathInsideFolder(folder, "media");
    if (!mediaFolder) {
        throw FileError(studioMessage(StudioText::OutsideFolder, {{"path", "media"}}));
    }
    std::error_code ec;
    fs::create_directories(*mediaFolder, ec);
    std::array<uint8_t, 32> digest =
        sha256(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    std::string hash = toHex(digest.data(), digest.size());
    for (const fs::directory_entry& entry : fs::directory_iterator(*mediaFolder, ec)) {
        if (entry.is_regular_file(ec) && entry.file_size(ec) == bytes.size() &&
            contentHash(entry.path(), nullptr) == hash) {
            return "media/" + entry.path().filename().u8string();
        }
    }
    for (int n = 1;; ++n) {
        std::string name = stem + (n == 1 ? "" : "-" + std::to_string(n)) + "." + extension;
        fs::path target = *mediaFolder / fs::u8path(name);
        if (!fs::exists(fs::symlink_status(target, ec))) {
            writeFileAtomically(target, bytes);
            return "media/" + name;
        }
    }
}

std::vector<std::string> MediaLibrary::unused(const fs::path& folder,
                                              const std::vector<std::string>& named) {
    std::vector<std::string> unusedFiles;
    std::optional<fs::path> mediaFolder = pathInsideFolder(folder, "media");
    std::error_code ec;
    if (!mediaFolder || !fs::is_directory(*mediaFolder, ec)) {
        return unusedFiles;
    }
    std::vector<fs::path> used;
    for (const std::string& n : named) {
        if (std::optional<fs::path> p = pathInsideFolder(folder, n)) {
            used.push_back(p->lexically_normal());
        }
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(*mediaFolder, ec)) {
        std::string name = entry.path().filename().u8string();
        bool named = false;
        for (const fs::path& u : used) {
            named = named || u == entry.path().lexically_normal();
        }
        if (!named && entry.is_regular_file(ec) && name[0] != '.' &&
            name.find(".quizpack-") == std::string::npos) {
            unusedFiles.push_back("media/" + name);
        }
    }
    std::sort(unusedFiles.begin(), unusedFiles.end());
    return unusedFiles;
}

UploadCheck checkUpload(const std::string& role, const std::string& kind,
                        const std::string& fileName, const std::vector<uint8_t>& bytes) {
    if (!plainFileName(fileName)) {
        return refused(400, StudioText::UploadBadName, {{"name", quoteInput(fileName)}});
    }
    std::string name = quoteInput(fileName);
    if (bytes.empty()) {
        return refused(400, StudioText::UploadNoFile);
    }
    if (bytes.size() > kMaxUploadBytes) {
        return refused(413, StudioText::UploadTooLarge,
                       {{"name", name},
                        {"size", formatSize(bytes.size())},
                        {"limit", formatSize(kMaxUploadBytes)}});
    }
    MediaFormat format = sniffMediaFormat(bytes);
    bool picture = role == "picture" || role == "reveal_picture";
    if (picture && kind == "picture") {
        try {
            PictureInfo info = inspectPictureHeader(bytes);
            return UploadCheck{200, "", mediaFormatExtension(info.format)};
        } catch (const PictureError& e) {
            return refused(415, StudioText::UploadNotPicture, {{"name", name}, {"why", e.what()}});
        }
    }
    if (role == "clip" && (kind == "audio" || kind == "video")) {
        MediaFormat wanted = kind == "audio" ? MediaFormat::Mp3 : MediaFormat::Avi;
        if (format != wanted) {
            return refused(415, StudioText::UploadNotClip,
                           {{"name", name}, {"format", mediaFormatName(wanted)}});
        }
        return UploadCheck{200, "", mediaFormatExtension(format)};
    }
    return refused(400, StudioText::UploadBadRole);
}
