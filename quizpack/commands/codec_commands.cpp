// quizpack encode IN OUT / quizpack decode IN OUT: raw LZW streams, exactly as the
// player's resources hold them, to and from files.
#include <cstdio>
#include <string>
#include <vector>

#include "content/lzw.h"
#include "quizpack/commands/commands.h"
#include "quizpack/common/file_io.h"
#include "quizpack/common/output_guard.h"

namespace {

enum class Direction { Encode, Decode };

// Why a result is a failure, and what to do about it.
const char* explain(int32_t result, Direction direction) {
    const bool encoding = direction == Direction::Encode;
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

void refuseOversizedInput(const std::vector<uint8_t>& input, const std::string& name,
                          Direction direction) {
    if (input.size() <= static_cast<size_t>(kLzwMaxInput)) {
        return;
    }
    const bool encoding = direction == Direction::Encode;
    throw QuizpackError(kExitBadInput,
                        name + ": " + std::to_string(input.size()) + " bytes, but a " +
                            (encoding ? "packed resource's content" : "packed stream") +
                            " holds at most " + std::to_string(kLzwMaxInput) + " bytes; " +
                            (encoding ? "split the data into smaller files"
                                      : "this cannot be a stream made by quizpack") +
                            ". Nothing written.");
}

std::vector<uint8_t> runCodec(const std::vector<uint8_t>& input, const std::string& name,
                              Direction direction) {
    uint8_t* output = nullptr;
    int32_t outputLength = 0;
    const int32_t length = static_cast<int32_t>(input.size());
    const int32_t result = direction == Direction::Encode
                               ? lzwEncode(input.data(), length, &output, &outputLength)
                               : lzwDecode(input.data(), length, &output, &outputLength);
    if (result != LZW_OK) {
        throw QuizpackError(kExitCodecFailure, std::string(lzwResultName(result)) + ": " + name +
                                                   ": " + explain(result, direction) +
                                                   ". Nothing written.");
    }
    const std::vector<uint8_t> bytes(output, output + outputLength);
    lzwFreeBuffer(output);
    return bytes;
}

int runCodecCommand(const CommandArguments& args, Direction direction) {
    if (args.positional.size() != 2) {
        throw usageMistake("give an input file and an output file");
    }
    namespace fs = std::filesystem;
    const fs::path inPath = fs::u8path(args.positional[0]);
    const fs::path outPath = fs::u8path(args.positional[1]);
    const std::vector<uint8_t> input = readWholeFile(inPath);
    refuseOversizedInput(input, displayPath(inPath), direction);
    const std::vector<uint8_t> bytes = runCodec(input, displayPath(inPath), direction);
    refuseOutputOverInputs(outPath, {{inPath, "the input file"}},
                           args.has("--force") ? ReadOnlyOutput::Replace : ReadOnlyOutput::Refuse);
    writeFileAtomically(outPath, bytes);
    printf("%s: %zu bytes (%s %zu bytes)\n", displayPath(outPath).c_str(), bytes.size(),
           direction == Direction::Encode ? "packed from" : "unpacked from", input.size());
    return kExitOk;
}

} // namespace

int runEncode(const CommandArguments& args) {
    return runCodecCommand(args, Direction::Encode);
}

int runDecode(const CommandArguments& args) {
    return runCodecCommand(args, Direction::Decode);
}
