#include "tools/quizpack/input_limits.h"

#include <cstring>

#include "tools/quizpack/file_io.h"

namespace {

// Where `text` is cut to keep `maxCharacters` UTF-8 characters, or npos when it fits.
size_t cutPoint(std::string_view text, size_t maxCharacters) {
    size_t characters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) { // a character's first byte
            if (characters == maxCharacters) {
                return i;
            }
            ++characters;
        }
    }
    return std::string_view::npos;
}

std::string bytesNote(std::string_view text) {
    return " (" + std::to_string(text.size()) + " bytes)";
}

bool isBareKeyByte(unsigned char c) {
    // Bytes above 0x7F too: a parser that takes Unicode bare keys must not get past.
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c >= 0x80;
}

// One pass over a description that tells strings and comments apart from the rest, as
// TOML does, and watches the two things the parser recurses on: dotted chains of simple
// keys (a.b."c") and open arrays and inline tables. It follows no grammar beyond that, so
// it cannot lose its way on text the parser would refuse: a dotted chain anywhere (in a
// value, 1.5 is one of two parts) and every bracket count.
class StructureScan {
  public:
    explicit StructureScan(std::string_view text) : t_(text) {}

    std::optional<DescriptionLimitProblem> run() {
        while (i_ < t_.size() && !problem_) {
            step();
        }
        return problem_;
    }

  private:
    std::string_view t_;
    size_t i_ = 0;
    int line_ = 1;
    int depth_ = 0;
    int parts_ = 0;         // simple keys in the current dotted chain
    size_t chainStart_ = 0; // where that chain began
    bool afterPart_ = false;
    bool afterDot_ = false;
    std::optional<DescriptionLimitProblem> problem_;

    bool at(const char* s) const { return t_.compare(i_, strlen(s), s) == 0; }

    void breakChain() { afterPart_ = afterDot_ = false; }

    void simpleKey(size_t start) {
        if (afterDot_) {
            ++parts_;
        } else {
            parts_ = 1;
            chainStart_ = start;
        }
        afterDot_ = false;
        afterPart_ = true;
        if (parts_ > kMaxKeyParts) {
            problem_ = DescriptionLimitProblem{
                line_,
                "the key or table header " + quoteInput(t_.substr(chainStart_, i_ - chainStart_)) +
                    " has more than " + std::to_string(kMaxKeyParts) +
                    " dotted parts; a description's keys have one part each",
                "write each key as one name, as in title = \"...\" or [[question]]"};
        }
    }

    void step() {
        const unsigned char c = static_cast<unsigned char>(t_[i_]);
        const size_t start = i_;
        if (isBareKeyByte(c)) {
            while (i_ < t_.size() && isBareKeyByte(static_cast<unsigned char>(t_[i_]))) {
                ++i_;
            }
            simpleKey(start);
        } else if (at("\"\"\"") || at("'''")) {
            skipMultiLineString(t_[i_]);
            breakChain();
        } else if (c == '"' || c == '\'') {
            skipOneLineString(t_[i_]);
            simpleKey(start);
        } else if (c == '.') {
            ++i_;
            afterDot_ = afterPart_;
            afterPart_ = false;
        } else if (c == ' ' || c == '\t') {
            ++i_; // blanks may surround the dots of a key
        } else if (c == '#') {
            while (i_ < t_.size() && t_[i_] != '\n') {
                ++i_;
            }
            breakChain();
        } else {
            ++i_;
            breakChain();
            if (c == '\n') {
                ++line_;
            } else if (c == '[' || c == '{') {
                open();
            } else if ((c == ']' || c == '}') && depth_ > 0) {
                --depth_;
            }
        }
    }

    void open() {
        if (++depth_ > kMaxNesting) {
            problem_ = DescriptionLimitProblem{
                line_,
                "arrays or inline tables are nested more than " + std::to_string(kMaxNesting) +
                    " deep; a description needs one level, as in answers = [\"...\"]",
                "close each [ with ] and each { with }"};
        }
    }

    // A one-line string ends at its closing quote or, unclosed, before the line end.
    void skipOneLineString(char quote) {
        ++i_;
        while (i_ < t_.size() && t_[i_] != quote && t_[i_] != '\n') {
            if (quote == '"' && t_[i_] == '\\' && i_ + 1 < t_.size() && t_[i_ + 1] != '\n') {
                ++i_;
            }
            ++i_;
        }
        if (i_ < t_.size() && t_[i_] == quote) {
            ++i_;
        }
    }

    // Three quotes to three quotes; up to two more quotes right before the closing ones
    // belong to the text ("""a""""" is a"").
    void skipMultiLineString(char quote) {
        i_ += 3;
        while (i_ < t_.size()) {
            const char c = t_[i_];
            if (c == '\n') {
                ++line_;
            } else if (quote == '"' && c == '\\' && i_ + 1 < t_.size()) {
                if (t_[i_ + 1] == '\n') {
                    ++line_;
                }
                i_ += 2;
                continue;
            } else if (c == quote) {
                size_t run = 0;
                while (i_ + run < t_.size() && t_[i_ + run] == quote && run < 5) {
                    ++run;
                }
                i_ += run;
                if (run >= 3) {
                    return;
                }
                continue;
            }
            ++i_;
        }
    }
};

} // namespace

std::string excerpt(std::string_view text, size_t maxCharacters) {
    const size_t cut = cutPoint(text, maxCharacters);
    if (cut == std::string_view::npos) {
        return std::string(text);
    }
    return std::string(text.substr(0, cut)) + "..." + bytesNote(text);
}

std::string quoteInput(std::string_view text) {
    const size_t cut = cutPoint(text, kExcerptCharacters);
    if (cut == std::string_view::npos) {
        return "\"" + std::string(text) + "\"";
    }
    return "\"" + std::string(text.substr(0, cut)) + "...\"" + bytesNote(text);
}

std::optional<DescriptionLimitProblem> findDescriptionSizeProblem(uint64_t bytes) {
    if (bytes <= kMaxDescriptionBytes) {
        return std::nullopt;
    }
    return DescriptionLimitProblem{
        0,
        "the description is " + formatSize(bytes) + " (" + std::to_string(bytes) +
            " bytes); a quiz description is at most " + formatSize(kMaxDescriptionBytes),
        "give the quiz's TOML description (90 questions of short texts fit in a few "
        "kilobytes)"};
}

std::optional<DescriptionLimitProblem> findDescriptionLimitProblem(std::string_view text) {
    if (auto tooLarge = findDescriptionSizeProblem(text.size())) {
        return tooLarge;
    }
    return StructureScan(text).run();
}

LineReader::LineReader(FILE* in, size_t maxBytes)
    : in_(in), maxBytes_(maxBytes), buffer_(64 * 1024) {}

LineRead LineReader::next(std::string* line) {
    line->clear();
    bool any = false;
    for (;;) {
        if (start_ == end_) {
            start_ = 0;
            end_ = fread(buffer_.data(), 1, buffer_.size(), in_);
            if (end_ == 0) {
                if (ferror(in_)) {
                    return LineRead::Failed;
                }
                return any ? LineRead::Line : LineRead::End;
            }
        }
        any = true;
        const char* from = buffer_.data() + start_;
        const size_t available = end_ - start_;
        const void* newline = memchr(from, '\n', available);
        const size_t take =
            newline ? static_cast<size_t>(static_cast<const char*>(newline) - from) : available;
        if (line->size() + take > maxBytes_) {
            const size_t room = maxBytes_ - line->size();
            line->append(from, room);
            start_ += room;
            return LineRead::TooLong;
        }
        line->append(from, take);
        start_ += take;
        if (newline) {
            ++start_;
            return LineRead::Line;
        }
    }
}
