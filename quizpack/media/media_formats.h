// Telling media files apart by their first bytes, whatever their names say, and the other
// files an author may give by mistake where quizpack reads or writes one of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class MediaFormat {
    Unknown,
    Jpeg,
    Png,
    Gif,
    Bmp,
    Webp,
    Tiff,
    Mp3,  // an MPEG audio layer III stream, with or without an ID3v2 tag in front
    Avi,  // RIFF "AVI "
    Wave, // RIFF "WAVE"
    Ogg,
    Flac,
    Mp4, // ISO base media ("ftyp" box): MP4, MOV, M4A, HEIC
};

MediaFormat sniffMediaFormat(const uint8_t* bytes, size_t size);
inline MediaFormat sniffMediaFormat(const std::vector<uint8_t>& bytes) {
    return sniffMediaFormat(bytes.data(), bytes.size());
}

// "JPEG", "PNG", "MP3", ...; "unknown" for Unknown.
const char* mediaFormatName(MediaFormat format);

// The usual file name extension without the dot ("jpg", "mp3"); "bin" for Unknown.
const char* mediaFormatExtension(MediaFormat format);

// Pictures the player's OLE picture loader shows as they are.
bool playerShowsPicture(MediaFormat format);

// Pictures quizpack can decode (and so convert to JPEG): the player's own plus PNG.
bool quizpackDecodesPicture(MediaFormat format);

// A word processor's file ("a Word document (.doc)", "an RTF document", ...) by its first
// bytes, or null: what an author saves as quiz.toml from Word or WordPad.
const char* documentKind(std::string_view bytes);

// What a file is, for a message that refuses to replace it: "an empty file", "a text file",
// "a JPEG picture", "a Windows program", "a web page", a documentKind, ...
std::string describeFileContent(const std::vector<uint8_t>& bytes);
