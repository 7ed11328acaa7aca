// quizpack encode IN OUT / quizpack decode IN OUT: raw LZW streams, exactly as the
// player's resources hold them, to and from files.
#include <cstdio>
#include <string>
#include <vector>

#include "content/lzw.h"
#include "quizpack/commands/commands.h"
#include "quizpack/common/file_io.h"
#include "quizpack/common/output_guard.h"
#include "quizpack/common/messages.h"

namespace {

enum class Direction { Encode, Decode };

// Why a result is a failure, and what to do about it.
const char* explain(int32_t result, Direction direction) {
    const bool encoding = direction == Direction::Encode;
    switch (result) {
    case LZW_NO_INPUT:
        return encoding ? tr("the input is empty; there is nothing to pack")
                        : tr("the input is empty or shorter than the stream's first code "
                             "(2 bytes)");
    case LZW_BAD_CODE:
        return tr("the input is not a valid LZW stream: it ends before its end code, uses a "
                  "code that was not made yet, widens its codes beyond 32 bits, or would fill "
                  "the dictionary past 4096 entries");
    case LZW_TOO_LARGE:
        return encoding ? tr("the packed stream would be larger than 80000 bytes; the data "
                             "hardly compresses, so pack less of it")
                        : tr("the stream unpacks to more than 120000 bytes, more than a "
                             "resource may hold");
    case LZW_NO_MEMORY:
        return tr("not enough memory");
    case LZW_WRITE_FAILED:
        return tr("a code was wider than 32 bits");
    default:
        return tr("unexpected result");
    }
}

void refuseOversizedInput(const std::vector<uint8_t>& input, const std::string& name,
                          Direction direction) {
    if (input.size() <= static_cast<size_t>(kLzwMaxInput)) {
        return;
    }
    const bool encoding = direction == Direction::Encode;
    const MessageArguments arguments = {
        {"file", name}, {"bytes", input.size()}, {"most", kLzwMaxInput}};
    throw QuizpackError(kExitBadInput,
                        encoding ? tr("{file}: {bytes} bytes, but a packed resource's content "
                                      "holds at most {most} bytes; split the data into smaller "
                                      "files. Nothing written.",
                                      arguments)
                                 : tr("{file}: {bytes} bytes, but a packed stream holds at most "
                                      "{most} bytes; this cannot be a stream made by quizpack. "
                                      "Nothing written.",
                                      arguments));
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
        throw QuizpackError(kExitCodecFailure, tr("{result}: {file}: {reason}. Nothing written.",
                                                  {{"result", lzwResultName(result)},
                                                   {"file", name},
                                                   {"reason", explain(result, direction)}}));
    }
    const std::vector<uint8_t> bytes(output, output + outputLength);
    lzwFreeBuffer(output);
    return bytes;
}

int runCodecCommand(const CommandArguments& args, Direction direction) {
    if (args.positional.size() != 2) {
        throw usageMistake(tr("give an input file and an output file"));
    }
    namespace fs = std::filesystem;
    const fs::path inPath = fs::u8path(args.positional[0]);
    const fs::path outPath = fs::u8path(args.positional[1]);
    const std::vector<uint8_t> input = readWholeFile(inPath);
    refuseOversizedInput(input, displayPath(inPath), direction);
    const std::vector<uint8_t> bytes = runCodec(input, displayPath(inPath), direction);
    refuseOutputOverInputs(outPath, {{inPath, tr("the input file")}},
                           args.has("--force") ? ReadOnlyOutput::Replace : ReadOnlyOutput::Refuse);
    writeFileAtomically(outPath, bytes);
    const MessageArguments arguments = {
        {"file", displayPath(outPath)}, {"bytes", bytes.size()}, {"from", input.size()}};
    fputs((direction == Direction::Encode
               ? tr("{file}: {bytes} bytes (packed from {from} bytes)\n", arguments)
               : tr("{file}: {bytes} bytes (unpacked from {from} bytes)\n", arguments))
              .c_str(),
          stdout);

    return kExitOk;
}

} // namespace

int runEncode(const CommandArguments& args) {
    return runCodecCommand(args, Direction::Encode);
}

int runDecode(const CommandArguments& args) {
    return runCodecCommand(args, Direction::Decode);
}
