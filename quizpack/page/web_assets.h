// The exported page's sources (web/) and the grader compiled to WebAssembly, carried
// inside quizpack: generated at build time from those files (cmake/embed_files.cmake).
#pragma once

#include <cstddef>
#include <string_view>

struct WebAsset {
    const unsigned char* bytes;
    size_t size;
    std::string_view text() const { return {reinterpret_cast<const char*>(bytes), size}; }
};

extern const WebAsset kWebPageTemplate; // web/page.html with its @MARKERS@
extern const WebAsset kWebPageStyle;    // web/page.css
extern const WebAsset kWebPageScript;   // web/*.js, in load order, as one script
extern const WebAsset kWebGraderWasm;   // checking/grader.cpp and web/grader_exports.cpp
