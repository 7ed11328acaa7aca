// Checking the media files a quiz description names: each is read, recognised by its
// first bytes and, for pictures, decoded (or its header read), on all cores.
#pragma once

#include <vector>

#include "quizpack/description/description.h"

// Reads and checks every file of description->media: fills in each one's format, size and
// picture size, and appends the problems to *diagnostics in description order. Each file is
// read through `examiner` when one is given, else through examineMediaFile.
void checkMediaFiles(Description* description, PictureDecoding decoding,
                     std::vector<Diagnostic>* diagnostics, const MediaExaminer& examiner = nullptr);
