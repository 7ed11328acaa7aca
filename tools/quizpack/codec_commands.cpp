// quizpack encode IN OUT / quizpack decode IN OUT: raw LZW streams, exactly as the
// player's resources hold them, to and from files.
#include <cstdio>
#include <string>
#include <vector>

#include "content/lzw.h"
#include "tools/quizpack/command_line.h"
#include "tools/quizpack/commands.h"
#include "tools/quizpack/file_io.h"

namespace {

struct CodecCommand {
    const char* name;
    const char* usage;
    const char* help;
    bool encoding;
};

const CodecCommand kEncode = {
    "encode", "encode IN OUT",
    "usage: quizpack encode IN OUT\n"
    "Packs the file IN (1 to 65535 bytes) into a raw LZW stream and writes it to OUT, byte\n"
    "for byte as a \"PATCH\" resource holds it. OUT is replaced only when packing succeeded.\n"
    "The packed stream may be at most 80000 bytes: data that does not compress (random\n"
    "bytes, JPEG, MP3) fits only up to about 59000 bytes.\n"
    "Exit codes: 0 packed, 1 packing failed (the LZW result is named), 2 bad arguments or\n"
    "an input that cannot be read or is too large.\n",
    true};

const CodecCommand kDecode = {
    "decode", "decode IN OUT",
    "usage: quizpack decode IN OUT\n"
    "Unpacks the raw LZW stream in the file IN (at most 65535 bytes) and writes the bytes\n"
    "to OUT. Bytes after the stream's end code are ignored, as the player ignores them.\n"
    "OUT is replaced only when unpacking succeeded; a stream may unpack to at most 120000\n"
    "bytes.\n"
    "Exit codes: 0 unpacked, 1 the stream is not valid (the LZW result is named), 2 bad\n"
    "arguments or an input that cannot be read or is too large.\n",
    false};

// Why a result is a failure, and what to do about it.
const char* explain(int32_t result, bool encoding) {
    switch (result) {
    case LZW_NO_INPUT:
        return encoding ? "the input is empty; there is nothing to pack"
                        : "the input is empty or shorter than the stream's first code "
                          "(2 bytes)";
    case LZW_BAD_CODE:
        return "the input is not a valid LZW stream: it ends before its end code, uses a "
               "code that was not made yet, widens its codes beyond 32 bits, or would fill "
               "the dictionary past 4096 entries";
    case LZW_TOO_LARGE:
        return encoding ? "the packed stream would be larger than 80000 bytes; the data "
                          "hardly compresses, so pack less of it"
                        : "the stream unpacks to more than 120000 bytes, more than a "
                          "resource may hold";
    case LZW_NO_MEMORY:
        return "not enough memory";
    case LZW_WRITE_FAILED:
        return "a code was wider than 32 bits";
    default:
        return "unexpected result";
    }
}

int runCodecCommand(const CodecCommand& command, int argc, char** argv) {
    ParsedArguments args;
    std::string error;
    if (!parseArguments(argc, argv, {}, &args, &error)) {
        return usageError(command.name, error, command.usage);
    }
    if (args.help) {
        fputs(command.help, stdout);
        return kExitOk;
    }
    if (args.positional.size() != 2) {
        return usageError(command.name, "give an input file and an output file", command.usage);
    }
    namespace fs = std::filesystem;
    const fs::path inPath = fs::u8path(args.positional[0]);
    const fs::path outPath = fs::u8path(args.positional[1]);
    std::vector<uint8_t> input;
    try {
        input = readWholeFile(inPath);
    } catch (const FileError& e) {
        fprintf(stderr, "quizpack %s: %s\n", command.name, e.what());
        return kExitBadInput;
    }
    if (input.size() > static_cast<size_t>(kLzwMaxInput)) {
        fprintf(stderr,
                "quizpack %s: %s: %zu bytes, but a %s holds at most %d bytes; %s. Nothing "
                "written.\n",
                command.name, displayPath(inPath).c_str(), input.size(),
                command.encoding ? "packed resource's content" : "packed stream", kLzwMaxInput,
                command.encoding ? "split the data into smaller files"
                                 : "this cannot be a stream made by quizpack");
        return kExitBadInput;
    }
    uint8_t* output = nullptr;
    int32_t outputLength = 0;
    const int32_t length = static_cast<int32_t>(input.size());
    const int32_t result = command.encoding
                               ? lzwEncode(input.data(), length, &output, &outputLength)
                               : lzwDecode(input.data(), length, &output, &outputLength);
    if (result != LZW_OK) {
        fprintf(stderr, "quizpack %s: %s: %s: %s. Nothing written.\n", command.name,
                lzwResultName(result), displayPath(inPath).c_str(),
                explain(result, command.encoding));
        return kExitCodecFailure;
    }
    const std::vector<uint8_t> bytes(output, output + outputLength);
    lzwFreeBuffer(output);
    try {
        writeFileAtomically(outPath, bytes);
    } catch (const FileError& e) {
        fprintf(stderr, "quizpack %s: %s\n", command.name, e.what());
        return kExitBadInput;
    }
    printf("%s: %zu bytes (%s %zu bytes)\n", displayPath(outPath).c_str(), bytes.size(),
           command.encoding ? "packed from" : "unpacked from", input.size());
    return kExitOk;
}

} // namespace

int runEncode(int argc, char** argv) {
    return runCodecCommand(kEncode, argc, argv);
}

int runDecode(int argc, char** argv) {
    return runCodecCommand(kDecode, argc, argv);
}
