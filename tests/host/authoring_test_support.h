// Media files made on the spot for the authoring tests (pictures through stb, MP3/AVI/WAV
// headers by hand), a minimal executable to build quizzes into, and the build and the
// resource lookup the tests share.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <stb/stb_image_write.h>

#include "tests/support/files.h"
#include "quizpack/commands/command_shell.h"
#include "quizpack/executable/builder.h"
#include "quizpack/common/diagnostics.h"
#include "quizpack/executable/pe_resources.h"

namespace authoring_test {

// Every diagnostic as quizpack prints it, "(none)" for none, for failure messages.
inline std::string describe(const std::vector<Diagnostic>& diagnostics) {
    std::string s;
    for (const Diagnostic& d : diagnostics)
        s += formatDiagnostic(d);
    return s.empty() ? "(none)\n" : s;
}

namespace fs = std::filesystem;
using test_support::Bytes;

struct Output {
    int exitCode = -1;
    std::string text; // standard output, then standard error
};

// quizpack with `args` (the words after "quizpack"), in-process as main() runs it.
inline Output runInProcess(std::vector<std::string> args) {
    args.insert(args.begin(), "quizpack");
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(&a[0]);
    }
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    Output out;
    out.exitCode = runQuizpack(static_cast<int>(argv.size()), argv.data());
    out.text = testing::internal::GetCapturedStdout();
    out.text += testing::internal::GetCapturedStderr();
    return out;
}

// An environment variable set (or, for null, unset) for as long as the object lives.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        const char* before = getenv(name);
        had_ = before != nullptr;
        before_ = had_ ? before : "";
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnvironment() { had_ ? setenv(name_, before_.c_str(), 1) : unsetenv(name_); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    const char* name_;
    bool had_;
    std::string before_;
};

inline void appendTo(void* context, void* data, int size) {
    auto* out = static_cast<Bytes*>(context);
    out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

// A diagonal gradient, so that resizing and JPEG coding have something to work on.
inline Bytes rgbPixels(int width, int height, int channels, uint8_t alpha = 255) {
    Bytes pixels(static_cast<size_t>(width) * height * channels);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * channels];
            p[0] = static_cast<uint8_t>(x * 255 / (width > 1 ? width - 1 : 1));
            p[1] = static_cast<uint8_t>(y * 255 / (height > 1 ? height - 1 : 1));
            p[2] = 128;
            if (channels == 4)
                p[3] = alpha;
        }
    }
    return pixels;
}

inline Bytes jpegPicture(int width, int height, int quality = 90) {
    Bytes out;
    Bytes pixels = rgbPixels(width, height, 3);
    stbi_write_jpg_to_func(appendTo, &out, width, height, 3, pixels.data(), quality);
    return out;
}

inline Bytes pngPicture(int width, int height, uint8_t alpha = 255) {
    Bytes out;
    Bytes pixels = rgbPixels(width, height, 4, alpha);
    stbi_write_png_to_func(appendTo, &out, width, height, 4, pixels.data(), width * 4);
    return out;
}

inline Bytes bmpPicture(int width, int height) {
    Bytes out;
    Bytes pixels = rgbPixels(width, height, 3);
    stbi_write_bmp_to_func(appendTo, &out, width, height, 3, pixels.data());
    return out;
}

// An MPEG-1 layer III frame header (128 kbit/s, 44.1 kHz) followed by silence.
inline Bytes mp3Clip(bool withId3 = false) {
    Bytes out;
    if (withId3) {
        out = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 10};
        out.resize(out.size() + 10, 0);
    }
    const uint8_t frame[] = {0xFF, 0xFB, 0x90, 0x64};
    for (int i = 0; i < 3; ++i) {
        out.insert(out.end(), frame, frame + 4);
        out.resize(out.size() + 413, 0);
    }
    return out;
}

inline Bytes riffFile(const char* form) {
    Bytes out(208, 0);
    const uint8_t header[] = {'R', 'I', 'F', 'F', 200, 0, 0, 0};
    std::copy(header, header + 8, out.begin());
    std::copy(form, form + 4, out.begin() + 8);
    return out;
}

// The smallest PE32+ program the resource writer accepts: headers and one code section,
// no resources yet. Quizzes built into it cannot run, but their resources are real.
inline Bytes minimalExecutable() {
    Bytes b(0x400, 0);
    auto put16 = [&](size_t at, uint32_t v) {
        b[at] = static_cast<uint8_t>(v);
        b[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    auto put32 = [&](size_t at, uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    const size_t pe = 0x40, coff = pe + 4, opt = coff + 20, sections = opt + 240;
    b[0] = 'M';
    b[1] = 'Z';
    put32(0x3C, pe);
    b[pe] = 'P';
    b[pe + 1] = 'E';
    put16(coff, 0x8664);     // x86-64
    put16(coff + 2, 1);      // one section
    put16(coff + 16, 240);   // optional header size
    put16(coff + 18, 0x22);  // executable, large-address aware
    put16(opt, 0x20B);       // PE32+
    put32(opt + 16, 0x1000); // entry point
    put32(opt + 32, 0x1000); // section alignment
    put32(opt + 36, 0x200);  // file alignment
    put32(opt + 56, 0x2000); // size of image
    put32(opt + 60, 0x200);  // size of headers
    put16(opt + 68, 2);      // GUI subsystem
    put32(opt + 108, 16);    // data directories
    const char name[8] = {'.', 't', 'e', 'x', 't'};
    std::copy(name, name + 8, b.begin() + sections);
    put32(sections + 8, 0x10);
    put32(sections + 12, 0x1000);
    put32(sections + 16, 0x200);
    put32(sections + 20, 0x200);
    put32(sections + 36, 0x60000020); // code, execute, read
    b[0x200] = 0xC3;                  // ret
    return b;
}

// quizpack build of `description` into `output`, with `player` as the program.
inline BuildReport buildInto(const fs::path& description, const fs::path& output,
                             const fs::path& player,
                             Downscaling downscaling = Downscaling::ToPlayerBox) {
    BuildOptions options;
    options.description = description;
    options.output = output;
    options.player = player;
    options.downscaling = downscaling;
    return buildQuiz(options, nullptr);
}

// The data of resource `type` `id`; empty when there is none.
inline Bytes resourceData(const std::vector<Resource>& resources, const char* type, uint32_t id) {
    for (const Resource& r : resources) {
        if (r.type == ResourceId::fromName(type) && r.name == ResourceId::fromNumber(id)) {
            return r.data;
        }
    }
    return {};
}

} // namespace authoring_test
