#include "quizpack/media/media_formats.h"
#include "quizpack/common/messages.h"

#include <cstring>

namespace {

bool startsWith(const uint8_t* bytes, size_t size, size_t offset, const char* magic) {
    size_t n = strlen(magic);
    return size >= offset + n && memcmp(bytes + offset, magic, n) == 0;
}

// An MPEG audio frame header of layer III with no reserved field values: sync (11 bits),
// version not "reserved", layer III, bitrate index not 15, sample rate index not 3.
bool isLayer3FrameHeader(const uint8_t* p, size_t available) {
    if (available < 4 || p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) {
        return false;
    }
    int version = (p[1] >> 3) & 3;
    int layer = (p[1] >> 1) & 3;
    int bitrate = p[2] >> 4;
    int sampleRate = (p[2] >> 2) & 3;
    return version != 1 && layer == 1 && bitrate != 15 && sampleRate != 3;
}

bool isMp3(const uint8_t* bytes, size_t size) {
    size_t offset = 0;
    if (startsWith(bytes, size, 0, "ID3")) {
        if (size < 10) {
            return false;
        }
        // The tag size is "synchsafe": four 7-bit groups; a footer adds 10 more bytes.
        size_t tagSize = (size_t(bytes[6] & 0x7F) << 21) | (size_t(bytes[7] & 0x7F) << 14) |
                         (size_t(bytes[8] & 0x7F) << 7) | size_t(bytes[9] & 0x7F);
        offset = 10 + tagSize + ((bytes[5] & 0x10) ? 10 : 0);
        // Some writers pad beyond the size they declare.
        while (offset < size && bytes[offset] == 0) {
            ++offset;
        }
    }
    return offset < size && isLayer3FrameHeader(bytes + offset, size - offset);
}

} // namespace

MediaFormat sniffMediaFormat(const uint8_t* bytes, size_t size) {
    if (size >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF) {
        return MediaFormat::Jpeg;
    }
    if (startsWith(bytes, size, 0, "\x89PNG\r\n\x1A\n")) {
        return MediaFormat::Png;
    }
    if (startsWith(bytes, size, 0, "GIF87a") || startsWith(bytes, size, 0, "GIF89a")) {
        return MediaFormat::Gif;
    }
    if (startsWith(bytes, size, 0, "BM") && size >= 26) {
        return MediaFormat::Bmp;
    }
    if (startsWith(bytes, size, 0, "RIFF")) {
        if (startsWith(bytes, size, 8, "AVI ")) {
            return MediaFormat::Avi;
        }
        if (startsWith(bytes, size, 8, "WAVE")) {
            return MediaFormat::Wave;
        }
        if (startsWith(bytes, size, 8, "WEBP")) {
            return MediaFormat::Webp;
        }
        return MediaFormat::Unknown;
    }
    if (startsWith(bytes, size, 0, "II*") || startsWith(bytes, size, 0, "MM\0*")) {
        return MediaFormat::Tiff;
    }
    if (startsWith(bytes, size, 0, "OggS")) {
        return MediaFormat::Ogg;
    }
    if (startsWith(bytes, size, 0, "fLaC")) {
        return MediaFormat::Flac;
    }
    if (startsWith(bytes, size, 4, "ftyp")) {
        return MediaFormat::Mp4;
    }
    if (isMp3(bytes, size)) {
        return MediaFormat::Mp3;
    }
    return MediaFormat::Unknown;
}

const char* mediaFormatName(MediaFormat format) {
    switch (format) {
    case MediaFormat::Jpeg:
        return "JPEG";
    case MediaFormat::Png:
        return "PNG";
    case MediaFormat::Gif:
        return "GIF";
    case MediaFormat::Bmp:
        return "BMP";
    case MediaFormat::Webp:
        return "WebP";
    case MediaFormat::Tiff:
        return "TIFF";
    case MediaFormat::Mp3:
        return "MP3";
    case MediaFormat::Avi:
        return "AVI";
    case MediaFormat::Wave:
        return "WAV";
    case MediaFormat::Ogg:
        return "Ogg";
    case MediaFormat::Flac:
        return "FLAC";
    case MediaFormat::Mp4:
        return "MP4/MOV";
    case MediaFormat::Unknown:
        break;
    }
    return "unknown";
}

const char* mediaFormatExtension(MediaFormat format) {
    switch (format) {
    case MediaFormat::Jpeg:
        return "jpg";
    case MediaFormat::Png:
        return "png";
    case MediaFormat::Gif:
        return "gif";
    case MediaFormat::Bmp:
        return "bmp";
    case MediaFormat::Webp:
        return "webp";
    case MediaFormat::Tiff:
        return "tif";
    case MediaFormat::Mp3:
        return "mp3";
    case MediaFormat::Avi:
        return "avi";
    case MediaFormat::Wave:
        return "wav";
    case MediaFormat::Ogg:
        return "ogg";
    case MediaFormat::Flac:
        return "flac";
    case MediaFormat::Mp4:
        return "mp4";
    case MediaFormat::Unknown:
        break;
    }
    return "bin";
}

bool playerShowsPicture(MediaFormat format) {
    return format == MediaFormat::Jpeg || format == MediaFormat::Gif || format == MediaFormat::Bmp;
}

bool quizpackDecodesPicture(MediaFormat format) {
    return playerShowsPicture(format) || format == MediaFormat::Png;
}

const char* documentKind(std::string_view bytes) {
    const auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
    const size_t size = bytes.size();
    if (startsWith(b, size, 0, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) {
        // TRANSLATORS: what a file is, in "the description is {kind}, not plain text".
        return tr("a Word document (.doc)");
    }
    if (startsWith(b, size, 0, "{\\rtf")) {
        return tr("an RTF document (as WordPad and Word save them)");
    }
    if (startsWith(b, size, 0, "PK\x03\x04")) {
        return tr("a ZIP archive, as Word (.docx) and LibreOffice (.odt) documents are");
    }
    if (startsWith(b, size, 0, "%PDF")) {
        return tr("a PDF document");
    }
    return nullptr;
}

namespace {

bool looksLikeText(const std::vector<uint8_t>& bytes) {
    const size_t sample = bytes.size() < 4096 ? bytes.size() : 4096;
    for (size_t i = 0; i < sample; ++i) {
        if (bytes[i] < 0x20 && bytes[i] != '\t' && bytes[i] != '\r' && bytes[i] != '\n') {
            return false;
        }
    }
    return true;
}

bool startsLikeWebPage(const std::vector<uint8_t>& bytes) {
    std::string start;
    for (size_t i = 0; i < bytes.size() && start.size() < 64; ++i) {
        const char c = static_cast<char>(bytes[i]);
        if (!start.empty() || (c != ' ' && c != '\r' && c != '\n' && c != '\t')) {
            start += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        }
    }
    return start.rfind("<!doctype html", 0) == 0 || start.rfind("<html", 0) == 0;
}

} // namespace

std::string describeFileContent(const std::vector<uint8_t>& bytes) {
    const MediaFormat format = sniffMediaFormat(bytes);
    const char* document =
        documentKind(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    if (bytes.empty()) {
        // TRANSLATORS: what a file is, in "{file} exists and is {kind}, not ...".
        return tr("an empty file");
    }
    if (startsWith(bytes.data(), bytes.size(), 0, "MZ")) {
        return tr("a Windows program");
    }
    if (startsWith(bytes.data(), bytes.size(), 0,
                   "\x7F"
                   "ELF")) {
        return tr("a Linux program");
    }
    if (document != nullptr) {
        return document;
    }
    if (quizpackDecodesPicture(format) || format == MediaFormat::Webp ||
        format == MediaFormat::Tiff) {
        return tr("a {format} picture", {{"format", mediaFormatName(format)}});
    }
    if (format != MediaFormat::Unknown) {
        return tr("a sound or film ({format})", {{"format", mediaFormatName(format)}});
    }
    if (startsLikeWebPage(bytes)) {
        return tr("a web page");
    }
    return looksLikeText(bytes) ? tr("a text file") : tr("a file of unknown content");
}
