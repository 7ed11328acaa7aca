#include "quizpack/common/input_limits.h"
#include "quizpack/common/messages.h"

#include <cstring>

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
    return " " + trn("({n} byte)", "({n} bytes)", text.size());
}

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
        return "\"" + printable(text) + "\"";
    }
    return "\"" + printable(text.substr(0, cut)) + "...\"" + bytesNote(text);
}

std::string printable(std::string_view text) {
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            out += c;
            continue;
        }
        switch (c) {
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\0':
            out += "\\0";
            break;
        default:
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        }
    }
    return out;
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
