// Reading a quiz back: from a quiz executable's resources, or from the two packed files
// that pack writes. What the player would make of it, and what would not come back
// byte for byte from a rebuild.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "content/grading_extras.h"
#include "quizpack/executable/pe_resources.h"
#include "quizpack/common/quiz_holder.h"
#include "quizpack/common/quizpack_error.h"
#include "quizpack/description/toml_writer.h"

// The input is not a quiz; `codecFailure` tells a resource that does not unpack (exit 1)
// from a file that is no quiz executable at all (exit 2).
class QuizReadError : public QuizpackError {
  public:
    QuizReadError(const std::string& message, bool codecFailure)
        : QuizpackError(codecFailure ? kExitCodecFailure : kExitBadInput, message),
          codecFailure(codecFailure) {}
    bool codecFailure;
};

struct ImageResource {
    ResourceId name;
    std::vector<uint8_t> data;
};

struct QuizReading {
    std::string source; // the file name, for messages
    QuizPtr quiz;
    std::vector<uint8_t> packedPackage, package; // "PATCH" 104 as stored and unpacked
    std::vector<uint8_t> packedCodes, codeTable; // "PATCH" 105; empty when absent
    bool hasCodeTable = false;                   // present, not empty, and unpacked
    bool codesEmpty = false;                     // present with no bytes
    std::vector<uint8_t> packedExtras, extras;   // "PATCH" 106; empty when absent
    bool hasExtras = false; // present, unpacked and read: the quiz's forms, tolerances, link
    bool malformed = false; // the package's content does not match its own counts
    std::vector<ImageResource> images;     // every "IMG" resource, in directory order
    std::vector<MediaListing> media;       // the images this quiz uses, in question order
    std::vector<std::string> unusedImages; // descriptions of the images it never shows
    std::vector<std::string> warnings;     // what the player would meet; what a rebuild changes
};

// Reads a quiz executable. Throws QuizReadError when it is no PE file, has no "PATCH" 104
// or a resource does not unpack.
QuizReading readQuizExecutable(const std::vector<uint8_t>& file, const std::string& source);

// Reads the packed package and, when `codes` (`extras`) is not null, the packed code table
// (grading extras).
QuizReading readPackedQuiz(const std::vector<uint8_t>& package, const std::vector<uint8_t>* codes,
                           const std::string& source, const std::vector<uint8_t>* extras = nullptr);

// What a grading extras problem is, in words.
const char* describeExtrasProblem(ExtrasProblem problem);

// The data of "IMG" `resourceId`; empty when there is none (the reading lists only media
// it found among the images).
const std::vector<uint8_t>& imageData(const QuizReading& reading, uint32_t resourceId);

// Whether the file begins as a Windows executable does ("MZ"): a quiz executable rather than
// a description. False for a file that cannot be read (the description reader reports it).
bool startsLikeExecutable(const std::filesystem::path& path);

// The resource types and names the player looks up.
ResourceId patchType();
ResourceId imageType();
