#include "quizpack/description/toml_writer.h"

#include <cstdio>

#include "quizpack/common/cp1252.h"
#include "quizpack/common/file_io.h"

std::string tomlString(std::string_view utf8) {
    std::string out = "\"";
    for (size_t i = 0; i < utf8.size(); ++i) {
        auto c = static_cast<unsigned char>(utf8[i]);
        switch (c) {
        case '"':
            out += "\\\"";
            continue;
        case '\\':
            out += "\\\\";
            continue;
        case '\b':
            out += "\\b";
            continue;
        case '\t':
            out += "\\t";
            continue;
        case '\n':
            out += "\\n";
            continue;
        case '\f':
            out += "\\f";
            continue;
        case '\r':
            out += "\\r";
            continue;
        default:
            break;
        }
        if (c < 0x20 || c == 0x7F) {
            char escape[8];
            snprintf(escape, sizeof escape, "\\u%04X", c);
            out += escape;
        } else if (c == 0xC2 && i + 1 < utf8.size() &&
                   static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(utf8[i + 1]) < 0xA0) {
            // C1 controls (the bytes Windows-1252 leaves undefined) are legal in TOML but
            // invisible in an editor; spelled out they survive copy and paste.
            char escape[8];
            snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned char>(utf8[i + 1]));
            out += escape;
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

const char* mediaKey(MediaRole role) {
    switch (role) {
    case MediaRole::QuestionPicture:
        return "picture";
    case MediaRole::RevealPicture:
        return "reveal_picture";
    case MediaRole::AudioClip:
    case MediaRole::VideoClip:
        return "clip";
    }
    return "clip";
}

std::string describeMedia(const MediaListing& media) {
    std::string text =
        "IMG " + std::to_string(media.resourceId) + ", " + mediaFormatName(media.format);
    if (media.pictureSize.width > 0) {
        text += " " + std::to_string(media.pictureSize.width) + "x" +
                std::to_string(media.pictureSize.height);
    }
    text += ", " + formatSize(media.size, Language::English);
    if (media.size >= 1024) {
        text += " (" + std::to_string(media.size) + " bytes)";
    }
    return text;
}

std::string answerWithForms(const QuestionNode& node, int a) {
    const char* forms[kMaxAnswerForms];
    const int count = answerForms(&node, a, forms);
    std::string text = forms[0];
    for (int i = 1; i < count; ++i) {
        text += std::string(" | ") + forms[i];
    }
    return text;
}

namespace {

std::string utf8(const char* cp1252) {
    return tomlString(cp1252ToUtf8(cp1252));
}

void line(std::string* out, const std::string& text) {
    *out += text;
    *out += "\n";
}

void comments(std::string* out, const std::vector<std::string>& lines) {
    for (const std::string& c : lines) {
        line(out, c.empty() ? "#" : "# " + c);
    }
}

bool storesRevealTexts(int32_t mode) {
    return mode == REVEAL_TEXT || mode == REVEAL_TEXT_AND_PICTURE || mode == REVEAL_ALL_TEXTS;
}

int answersPerQuestion(const Quiz& quiz) {
    return quiz.answersPerQuestion == 2 ? 2 : 1;
}

// title, creator, explanation, kind, answers_per_question, labels, reveal, background.
void writeQuizKeys(std::string* out, const Quiz& quiz) {
    line(out, "title = " + utf8(quiz.title));
    line(out, "creator = " + utf8(quiz.creator));
    line(out, "explanation = " + utf8(quiz.explanation));
    if (const char* kind = quizKindName(quiz.quizType)) {
        line(out, std::string("kind = \"") + kind + "\"");
    } else {
        line(out, "# kind: the package's quiz type " + std::to_string(quiz.quizType) +
                      " is none of text, picture, audio, video");
    }
    line(out, "answers_per_question = " + std::to_string(answersPerQuestion(quiz)));
    if (quiz.answerLabel1[0] != '\0' || quiz.answerLabel2[0] != '\0') {
        line(out, "labels = [" + utf8(quiz.answerLabel1) + ", " + utf8(quiz.answerLabel2) + "]");
    }
    if (const char* reveal = revealName(quiz.revealMode)) {
        line(out, std::string("reveal = \"") + reveal + "\"");
    } else {
        line(out, "# reveal: the package's reveal mode " + std::to_string(quiz.revealMode) +
                      " reveals nothing, as \"none\" does");
        line(out, "reveal = \"none\"");
    }
    line(out, "background = \"" + colourName(rgbOfColourref(quiz.backgroundColour)) + "\"");
    if (quiz.linkChoice == LINK_AUTHOR) {
        line(out, "link = " + utf8(quiz.link));
    }
}

// After every key of the top level, which a table ends in TOML.
void writeGrading(std::string* out, const Quiz& quiz) {
    if (quiz.tolerances == 0) {
        return;
    }
    line(out, "");
    line(out, "[grading]");
    if (quiz.tolerances & TOLERATE_ACCENTS) {
        line(out, "accents = \"optional\"");
    }
    if (quiz.tolerances & TOLERATE_CASE) {
        line(out, "case = \"any\"");
    }
    if (quiz.tolerances & TOLERATE_QUOTES) {
        line(out, "quotes = \"any\"");
    }
}

// Codes after the last non-empty one are empty anyway; leaving them out changes nothing.
void writeCodes(std::string* out, const Quiz& quiz, int count) {
    int codes = count;
    while (codes > 0 && quiz.codes[codes - 1][0] == '\0') {
        --codes;
    }
    if (codes == 0) {
        line(out, "codes = []");
        return;
    }
    line(out, "codes = [");
    for (int i = 0; i < codes; ++i) {
        line(out, "  " + utf8(quiz.codes[i]) + ",  # " + std::to_string(i + 1) + " solved");
    }
    line(out, "]");
}

void writeQuestion(std::string* out, const Quiz& quiz, const QuestionNode& node, int q,
                   const std::vector<MediaListing>& media) {
    line(out, "");
    line(out, "[[question]]  # " + std::to_string(q));
    std::string answerList = "[" + utf8(answerWithForms(node, 1).c_str());
    if (answersPerQuestion(quiz) == 2) {
        answerList += ", " + utf8(answerWithForms(node, 2).c_str());
    }
    line(out, "answers = " + answerList + "]");
    if (node.questionText[0] != '\0') {
        line(out, "text = " + utf8(node.questionText));
    }
    if (storesRevealTexts(quiz.revealMode) && node.revealText[0] != '\0') {
        line(out, "reveal_text = " + utf8(node.revealText));
    }
    for (const MediaListing& m : media) {
        if (m.question != q) {
            continue;
        }
        if (m.file.empty()) {
            line(out, std::string("# ") + mediaKey(m.role) + ": " + describeMedia(m));
        } else {
            line(out, std::string(mediaKey(m.role)) + " = " + tomlString(m.file) + "  # " +
                          describeMedia(m));
        }
    }
}

} // namespace

std::string writeDescription(const Quiz& quiz, const std::vector<MediaListing>& media,
                             const std::vector<std::string>& headerComments,
                             const std::vector<std::string>& trailerComments,
                             const char* questionsFile) {
    std::string out;
    comments(&out, headerComments);
    writeQuizKeys(&out, quiz);
    int count = quiz.questionCount < kMaxQuestions ? quiz.questionCount : kMaxQuestions;
    writeCodes(&out, quiz, count);
    if (questionsFile != nullptr) {
        line(&out, std::string("questions = ") + tomlString(questionsFile));
    }
    writeGrading(&out, quiz);
    const QuestionNode* node = questionsFile ? nullptr : quiz.head;
    for (int q = 1; q <= count && node != nullptr; ++q, node = node->next) {
        writeQuestion(&out, quiz, *node, q, media);
    }
    if (!trailerComments.empty()) {
        line(&out, "");
        comments(&out, trailerComments);
    }
    return out;
}
