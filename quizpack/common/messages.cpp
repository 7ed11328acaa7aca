#include "quizpack/common/messages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "quizpack/common/message_catalogue.h"

namespace {

// Set once per command line, before any worker thread starts; read from any thread.
Language gLanguage = Language::English;
// Lookups that found no translation: media are prepared on several threads.
std::mutex gMissesLock;
int gUntranslated = 0;
std::string gLastUntranslated;

const char* languageCode(Language language) {
    return language == Language::French ? "fr" : "en";
}

const Catalogue* catalogueOf(Language language) {
    for (size_t i = 0; i < kCatalogueCount; ++i) {
        if (strcmp(kCatalogues[i].code, languageCode(language)) == 0) {
            return &kCatalogues[i];
        }
    }
    return nullptr;
}

const CatalogueEntry* find(const char* english) {
    if (gLanguage == Language::English) {
        return nullptr;
    }
    const Catalogue* catalogue = catalogueOf(gLanguage);
    size_t low = 0, high = catalogue ? catalogue->count : 0;
    while (low < high) {
        const size_t middle = (low + high) / 2;
        const int order = strcmp(catalogue->entries[middle].english, english);
        if (order == 0) {
            return &catalogue->entries[middle];
        }
        if (order < 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    const std::lock_guard<std::mutex> hold(gMissesLock);
    ++gUntranslated;
    gLastUntranslated = english;
    return nullptr;
}

// Which of a message's two forms stands for `n` (0 the singular): French counts 0 and 1 as
// one, English only 1, as the Plural-Forms of their .po files say.
int pluralForm(uint64_t n) {
    return gLanguage == Language::French ? (n > 1) : (n != 1);
}

bool startsWithFrench(const char* value) {
    return value && (value[0] == 'f' || value[0] == 'F') && (value[1] == 'r' || value[1] == 'R');
}

std::string fill(const char* text, const std::vector<MessageArgument>& arguments) {
    std::string out;
    for (const char* p = text; *p;) {
        if (p[0] == '{' && p[1] == '{') {
            out += '{';
            p += 2;
            continue;
        }
        if (*p == '{') {
            const char* close = strchr(p, '}');
            bool found = false;
            for (const MessageArgument& a : arguments) {
                if (close && strlen(a.name) == static_cast<size_t>(close - p - 1) &&
                    strncmp(a.name, p + 1, close - p - 1) == 0) {
                    out += a.value;
                    found = true;
                    break;
                }
            }
            if (found) {
                p = close + 1;
                continue;
            }
        }
        out += *p++;
    }
    return out;
}

} // namespace

Language messageLanguage() {
    return gLanguage;
}

void setMessageLanguage(Language language) {
    gLanguage = language;
}

bool languageFromCode(const std::string& code, Language* language) {
    if (code == "en" || code == "fr") {
        *language = code == "fr" ? Language::French : Language::English;
        return true;
    }
    return false;
}

Language languageOfLocale(const char* lcAll, const char* lcMessages, const char* lang) {
    for (const char* value : {lcAll, lcMessages, lang}) {
        if (value && *value) {
            return startsWithFrench(value) ? Language::French : Language::English;
        }
    }
    return Language::English;
}

#if !defined(_WIN32)
Language systemLanguage() {
    return languageOfLocale(getenv("LC_ALL"), getenv("LC_MESSAGES"), getenv("LANG"));
}
#endif

Language chosenLanguage() {
    Language language;
    const char* chosen = getenv("QUIZPACK_LANG");
    if (chosen && languageFromCode(chosen, &language)) {
        return language;
    }
    return systemLanguage();
}

const char* tr(const char* english) {
    const CatalogueEntry* entry = find(english);
    return entry ? entry->translated[0] : english;
}

std::string tr(const char* english, MessageArguments arguments) {
    return fill(tr(english), arguments);
}

std::string trn(const char* singular, const char* plural, uint64_t n, MessageArguments arguments) {
    const CatalogueEntry* entry = find(singular);
    const int form = pluralForm(n);
    const char* text =
        entry && entry->translated[1] ? entry->translated[form] : (form == 0 ? singular : plural);
    std::vector<MessageArgument> all(arguments);
    all.emplace_back("n", n);
    return fill(text, all);
}

std::string decimalNumber(double value, int digits) {
    char number[64];
    snprintf(number, sizeof number, "%.*f", digits, value);
    std::string text = number;
    const size_t point = text.find('.');
    if (point != std::string::npos && gLanguage != Language::English) {
        // TRANSLATORS: the decimal separator ("1.5 KB", "0.4 s").
        text.replace(point, 1, tr("."));
    }
    return text;
}

int takeUntranslatedCount(std::string* lastMissing) {

    const std::lock_guard<std::mutex> hold(gMissesLock);
    const int n = gUntranslated;

    if (lastMissing) {
        *lastMissing = gLastUntranslated;
    }
    gUntranslated = 0;
    return n;
}
