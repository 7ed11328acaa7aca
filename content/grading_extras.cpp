#include "content/grading_extras.h"

#include <cstring>

#include "content/package.h"

namespace {

constexpr int kMaxOtherForms = kMaxAnswerForms - 1;
constexpr uint8_t kLinkProgram = 0;
constexpr uint8_t kLinkAuthor = 1;

bool startsWithNoCase(const char* text, const char* prefix) {
    for (; *prefix != '\0'; ++text, ++prefix) {
        char c = *text >= 'A' && *text <= 'Z' ? static_cast<char>(*text + 32) : *text;
        if (c != *prefix) {
            return false;
        }
    }
    return true;
}

// One forward-only reading position; every read checks the bytes that are left.
struct Reader {
    const uint8_t* bytes;
    int32_t length;
    int32_t at;

    bool byte(uint8_t* value) {
        if (at >= length) {
            return false;
        }
        *value = bytes[at++];
        return true;
    }
    // A "|"-ended text of at most 259 bytes and no NUL, into `text` (260 bytes); false when
    // the bytes end first or the text breaks those rules (*bad tells which).
    bool field(char* text, bool* bad) {
        int n = 0;
        while (at < length && bytes[at] != kFieldEnd) {
            if (n == kTextCapacity - 1 || bytes[at] == 0) {
                *bad = true;
                return false;
            }
            text[n++] = static_cast<char>(bytes[at++]);
        }
        text[n] = '\0';
        if (at >= length) {
            return false;
        }
        ++at; // the "|"
        return true;
    }
};

struct Header {
    uint32_t tolerances = 0;
    int32_t linkChoice = LINK_PROGRAM;
    char link[kTextCapacity] = "";
    int32_t entriesAt = 0; // where the count of answers with other forms is
};

ExtrasProblem readHeader(Reader* r, Header* header) {
    uint8_t version = 0;
    uint8_t tolerances = 0;
    uint8_t link = 0;
    if (!r->byte(&version)) {
        return EXTRAS_TRUNCATED;
    }
    if (version != kGradingExtrasVersion) {
        return EXTRAS_UNKNOWN_VERSION;
    }
    if (!r->byte(&tolerances) || !r->byte(&link)) {
        return EXTRAS_TRUNCATED;
    }
    if ((tolerances & ~kAllTolerances) != 0) {
        return EXTRAS_BAD_TOLERANCES;
    }
    header->tolerances = tolerances;
    if (link != kLinkProgram && link != kLinkAuthor) {
        return EXTRAS_BAD_LINK;
    }
    if (link == kLinkAuthor) {
        bool bad = false;
        if (!r->field(header->link, &bad)) {
            return bad ? EXTRAS_BAD_LINK : EXTRAS_TRUNCATED;
        }
        if (!isAcceptedLink(header->link)) {
            return EXTRAS_BAD_LINK;
        }
        header->linkChoice = LINK_AUTHOR;
    }
    header->entriesAt = r->at;
    return EXTRAS_OK;
}

// One entry: its field index and its other forms. `apply` stores them in the quiz; without
// it the entry is only checked.
ExtrasProblem readEntry(Reader* r, Quiz* quiz, int fields, int* lastField, bool apply) {
    uint8_t field = 0;
    uint8_t count = 0;
    if (!r->byte(&field) || !r->byte(&count)) {
        return EXTRAS_TRUNCATED;
    }
    if (field <= *lastField || field > fields) {
        return EXTRAS_BAD_FIELD;
    }
    *lastField = field;
    if (count < 1 || count > kMaxOtherForms) {
        return EXTRAS_BAD_FORM;
    }
    char forms[kMaxOtherForms][kTextCapacity];
    const char* pointers[kMaxOtherForms];
    for (int i = 0; i < count; ++i) {
        bool bad = false;
        if (!r->field(forms[i], &bad)) {
            return bad ? EXTRAS_BAD_FORM : EXTRAS_TRUNCATED;
        }
        if (forms[i][0] == '\0') {
            return EXTRAS_BAD_FORM;
        }
        pointers[i] = forms[i];
    }
    if (apply) {
        const int perQuestion = quiz->answersPerQuestion == 2 ? 2 : 1;
        QuestionNode* node = questionAt(quiz, (field - 1) / perQuestion);
        if (node == nullptr ||
            !setOtherForms(node, (field - 1) % perQuestion + 1, pointers, count)) {
            return EXTRAS_OUT_OF_MEMORY;
        }
    }
    return EXTRAS_OK;
}

// Every entry from the header's end; in a checking pass (`apply` false) also that nothing
// follows the last.
ExtrasProblem readEntries(Reader* r, Quiz* quiz, bool apply) {
    uint8_t entries = 0;
    if (!r->byte(&entries)) {
        return EXTRAS_TRUNCATED;
    }
    const int perQuestion = quiz->answersPerQuestion == 2 ? 2 : 1;
    const int fields = perQuestion * quiz->questionCount;
    int lastField = 0;
    for (int e = 0; e < entries; ++e) {
        ExtrasProblem problem = readEntry(r, quiz, fields, &lastField, apply);
        if (problem != EXTRAS_OK) {
            return problem;
        }
    }
    return r->at == r->length ? EXTRAS_OK : EXTRAS_TRAILING_BYTES;
}

void clearOtherForms(Quiz* quiz) {
    for (QuestionNode* node = quiz->head; node != nullptr; node = node->next) {
        setOtherForms(node, 1, nullptr, 0);
        setOtherForms(node, 2, nullptr, 0);
    }
}

void appendField(std::vector<uint8_t>* out, const char* text) {
    out->insert(out->end(), text, text + strlen(text));
    out->push_back(kFieldEnd);
}

} // namespace

bool isAcceptedLink(const char* link) {
    if (link[0] == '\0') {
        return true;
    }
    const char* rest = startsWithNoCase(link, "https://")  ? link + 8
                       : startsWithNoCase(link, "http://") ? link + 7
                                                           : nullptr;
    if (rest == nullptr || *rest == '\0') {
        return false;
    }
    for (const char* c = link; *c != '\0'; ++c) {
        const unsigned char byte = static_cast<unsigned char>(*c);
        if (byte <= ' ' || byte == 0x7F) {
            return false;
        }
    }
    return true;
}

ExtrasProblem readGradingExtras(const uint8_t* bytes, int32_t length, Quiz* quiz) {
    Reader reader = {bytes, length < 0 ? 0 : length, 0};
    Header header;
    ExtrasProblem problem = readHeader(&reader, &header);
    if (problem == EXTRAS_OK) {
        problem = readEntries(&reader, quiz, false);
    }
    if (problem != EXTRAS_OK) {
        return problem;
    }
    reader.at = header.entriesAt;
    problem = readEntries(&reader, quiz, true);
    if (problem != EXTRAS_OK) {
        clearOtherForms(quiz); // all or nothing: the quiz then grades exactly
        return problem;
    }
    quiz->tolerances = header.tolerances;
    quiz->linkChoice = header.linkChoice;
    copyText(quiz->link, header.link);
    return EXTRAS_OK;
}

bool hasGradingExtras(const Quiz& quiz) {
    if (quiz.tolerances != 0 || quiz.linkChoice == LINK_AUTHOR) {
        return true;
    }
    for (const QuestionNode* node = quiz.head; node != nullptr; node = node->next) {
        if (node->otherForms[0] != nullptr || node->otherForms[1] != nullptr) {
            return true;
        }
    }
    return false;
}

std::vector<uint8_t> layOutGradingExtras(const Quiz& quiz) {
    std::vector<uint8_t> out;
    if (!hasGradingExtras(quiz)) {
        return out;
    }
    out.push_back(kGradingExtrasVersion);
    out.push_back(static_cast<uint8_t>(quiz.tolerances & kAllTolerances));
    out.push_back(quiz.linkChoice == LINK_AUTHOR ? kLinkAuthor : kLinkProgram);
    if (quiz.linkChoice == LINK_AUTHOR) {
        appendField(&out, quiz.link);
    }
    const size_t countAt = out.size();
    out.push_back(0);
    const int perQuestion = quiz.answersPerQuestion == 2 ? 2 : 1;
    int q = 0;
    for (const QuestionNode* node = quiz.head;
         node != nullptr && q < quiz.questionCount && q < kMaxQuestions; node = node->next, ++q) {
        for (int a = 1; a <= perQuestion; ++a) {
            const char* forms[kMaxAnswerForms];
            const int count = answerForms(node, a, forms);
            if (count < 2) {
                continue;
            }
            ++out[countAt];
            out.push_back(static_cast<uint8_t>(q * perQuestion + a));
            out.push_back(static_cast<uint8_t>(count - 1));
            for (int i = 1; i < count; ++i) {
                appendField(&out, forms[i]);
            }
        }
    }
    return out;
}
