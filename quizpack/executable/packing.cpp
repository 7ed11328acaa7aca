#include "quizpack/executable/packing.h"

#include <limits>
#include <string>

#include "content/grading_extras.h"
#include "content/lzw.h"
#include "content/package.h"
#include "quizpack/common/messages.h"

namespace {
std::vector<uint8_t> takeBuffer(uint8_t* buffer, int32_t length) {
    std::vector<uint8_t> bytes(buffer, buffer + length);
    lzwFreeBuffer(buffer);
    return bytes;
}
} // namespace

std::vector<uint8_t> codeTableBytes(const Quiz& quiz) {
    std::vector<uint8_t> table = layOutCodeTable(quiz);
    if (table.empty()) {
        table = {'\r', '\n'};
    }
    return table;
}

// "packing failed: LZW_TOO_LARGE: ...": `step` is "packing" or "unpacking".
std::string packStepFailure(const char* step, const std::string& result) {
    return std::string(step) == "packing" ? tr("packing failed: {result}", {{"result", result}})
                                          : tr("unpacking failed: {result}", {{"result", result}});
}

std::vector<uint8_t> lzwPack(const std::vector<uint8_t>& plain) {
    if (plain.size() > static_cast<size_t>(kLzwMaxInput)) {
        throw PackError("packing",
                        tr("LZW_TOO_LARGE: {bytes} bytes; the codec packs at most {most}",
                           {{"bytes", plain.size()}, {"most", kLzwMaxInput}}));
    }
    uint8_t* out = nullptr;
    int32_t length = 0;
    int32_t result = lzwEncode(plain.data(), static_cast<int32_t>(plain.size()), &out, &length);
    if (result != LZW_OK) {
        throw PackError("packing",
                        tr("{result} while packing {bytes} bytes",
                           {{"result", lzwResultName(result)}, {"bytes", plain.size()}}));
    }
    return takeBuffer(out, length);
}

std::vector<uint8_t> lzwUnpack(const std::vector<uint8_t>& packed) {
    if (packed.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
        throw PackError("unpacking", tr("LZW_TOO_LARGE: the packed resource is over 2 GB"));
    }
    uint8_t* out = nullptr;
    int32_t length = 0;
    int32_t result = lzwDecode(packed.data(), static_cast<int32_t>(packed.size()), &out, &length);
    if (result != LZW_OK) {
        throw PackError("unpacking", lzwResultName(result));
    }
    return takeBuffer(out, length);
}

PackedQuiz packQuiz(const Quiz& quiz) {
    PackedQuiz packed;
    std::vector<uint8_t> package = layOutPackage(quiz);
    std::vector<uint8_t> codes = codeTableBytes(quiz);
    packed.packageLength = package.size();
    packed.codeTableLength = codes.size();
    packed.package = lzwPack(package);
    packed.codeTable = lzwPack(codes);
    std::vector<uint8_t> extras = layOutGradingExtras(quiz);
    packed.extrasLength = extras.size();
    if (!extras.empty()) {
        packed.extras = lzwPack(extras);
    }
    return packed;
}
