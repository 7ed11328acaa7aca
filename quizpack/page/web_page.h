// The exported web page: one HTML file holding a quiz's "PATCH" resources packed exactly as
// its executable holds them, its media, the player's codec, package reader and grader
// compiled to WebAssembly, the page's script and its styles. The page unpacks the quiz at
// load inside the WebAssembly module; no answer, form or code is in the file as text. The
// file itself is pure ASCII, so whatever character set a web host announces cannot change it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "content/quiz.h"

// A picture or clip as the page embeds it.
struct WebMedia {
    std::string mime; // "image/jpeg", "audio/mpeg", "video/webm", ...
    std::vector<uint8_t> bytes;
};

// A quiz's "PATCH" resources, packed, as a quiz executable holds them.
struct WebPackedResources {
    std::vector<uint8_t> package;   // 104; empty: packed from WebQuiz::quiz as build packs it
    std::vector<uint8_t> codeTable; // 105
    std::vector<uint8_t> extras;    // 106; empty when the quiz has none
    bool codeTableFound = true;     // false: the executable has no 105 at all
};

struct WebQuiz {
    const Quiz* quiz = nullptr;     // the quiz as the player holds it
    std::string storageKey;         // where the page keeps the answers (webStorageKey)
    std::vector<WebMedia> media;    // every picture and clip, in any order
    std::vector<int> questionMedia; // per question: an index into media, or -1
    std::vector<int> revealPicture; // per question: an index into media, or -1
    WebPackedResources packed;      // from an executable; by default packed from `quiz`
};

// The localStorage key for a quiz: the SHA-256 of its unpacked package and code table, so
// that a quiz built again from the same description keeps its answers and any other quiz
// starts afresh.
std::string webStorageKey(const std::vector<uint8_t>& package,
                          const std::vector<uint8_t>& codeTable);

// The whole page. Throws PackError when the quiz has to be packed and the codec refuses it.
std::string renderWebPage(const WebQuiz& quiz);

// The opening of the quiz's data block, which every exported page holds (web/page.html)
// within its first kPageMarkerWithin bytes, after the page's styles and before its media.
constexpr char kQuizDataMarker[] = "<script type=\"application/json\" id=\"quiz-data\">";
constexpr size_t kPageMarkerWithin = 1024 * 1024;

// Bytes as ASCII text that an HTML script data block carries unchanged: seven bits a
// character, with the few characters the HTML parser would alter or act on ("<", NUL, CR)
// and the escape "!" itself written as "!" and a capital letter. The page's script
// decodes it back (web/page_data.js).
std::string bytesAsScriptText(const std::vector<uint8_t>& bytes);

// A JSON string literal for a Windows-1252 text, every character that is not plain
// printable ASCII, and "<", ">" and "&", written as \uXXXX.
std::string jsonStringFromCp1252(std::string_view text);

// The program's web address of the player's header, shown and linked the same on the page
// when the quiz gives no address of its own.
extern const char kWebAuthorAddress[];
