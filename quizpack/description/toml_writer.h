// Writing a quiz back as a description (TOML), for inspect and extract.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "content/quiz.h"
#include "quizpack/description/description.h"

// A TOML basic string holding the UTF-8 text exactly: quotes, backslashes and control
// characters (C0, DEL and C1) escaped, everything else as it is.
std::string tomlString(std::string_view utf8);

// One "IMG" resource of the quiz as the description lists it.
struct MediaListing {
    MediaRole role = MediaRole::QuestionPicture;
    int question = 0;
    uint32_t resourceId = 0;
    MediaFormat format = MediaFormat::Unknown;
    uint64_t size = 0;
    PictureSize pictureSize{0, 0}; // 0 x 0 when not a picture or not decodable
    std::string file;              // the path to write as the key's value; empty: a comment only
};

// The description key of a role: "picture", "reveal_picture", "clip".
const char* mediaKey(MediaRole role);

// Answer `a` (1 or 2) of `node` as a description writes it, in Windows-1252: its accepted
// forms joined by " | " (the main one alone when it has no other).
std::string answerWithForms(const QuestionNode& node, int a);

// "IMG 401, JPEG 260x195, 14.2 KB (14523 bytes)"
std::string describeMedia(const MediaListing& media);

// The quiz as a description that check accepts and build turns into the same packed
// resources: texts converted from Windows-1252 to UTF-8, codes up to the last non-empty
// one, reveal texts only where the reveal mode stores them, the link and [grading] only when
// the quiz has them. `headerComments` become
// "# " lines at the top; `trailerComments` at the end. With a `questionsFile`, the
// description names that CSV file (see writeQuestionTable) instead of holding the questions.
std::string writeDescription(const Quiz& quiz, const std::vector<MediaListing>& media,
                             const std::vector<std::string>& headerComments,
                             const std::vector<std::string>& trailerComments,
                             const char* questionsFile = nullptr);
