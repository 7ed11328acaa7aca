// quizpack's words in the author's language. Every text an author reads is an English
// sentence looked up in one catalogue (po/*.po, compiled into quizpack), its arguments
// filled in by name: tr("{file} is a folder", {{"file", path}}). A sentence is never made
// of translated pieces; a count chooses among the plural forms of one message (trn).
//
// po/messages.sh finds the messages through the names tr, trn and N_: a message must be
// a literal at the call for the catalogue to hold it.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <type_traits>

enum class Language { English, French };

// The language messages are given in; English until set. The whole process shares it.
Language messageLanguage();
void setMessageLanguage(Language language);

// "en" or "fr", as --lang and QUIZPACK_LANG name them; false for any other code.
bool languageFromCode(const std::string& code, Language* language);

// French when the first of LC_ALL, LC_MESSAGES and LANG that is set and not empty starts
// with "fr", as POSIX orders them; English otherwise. On Windows, where those are seldom
// set, the user's interface language decides.
Language systemLanguage();
// The POSIX rule of systemLanguage() over the three variables' values (null when unset).
Language languageOfLocale(const char* lcAll, const char* lcMessages, const char* lang);

// The language of a command line: QUIZPACK_LANG when it names one, else systemLanguage().
Language chosenLanguage();

// One argument of a message: its name between braces in the text, and its value.
struct MessageArgument {
    MessageArgument(const char* name, const std::string& value) : name(name), value(value) {}
    MessageArgument(const char* name, const char* value) : name(name), value(value) {}
    template <typename Number, typename = std::enable_if_t<std::is_integral_v<Number>>>
    MessageArgument(const char* name, Number value) : name(name), value(std::to_string(value)) {}
    const char* name;
    std::string value;
};
using MessageArguments = std::initializer_list<MessageArgument>;

// Marks a text for the catalogue where it is stored (a table of help texts); tr() gives it
// in the author's language where it is shown.
#define N_(english) english

// `english` in the current language; `english` itself when the catalogue lacks it.
const char* tr(const char* english);
// The same, each "{name}" replaced with its argument's value ("{{" stands for "{").
std::string tr(const char* english, MessageArguments arguments);
// The plural form for `n` of a message given in English as `singular` and `plural`;
// `n` is also the argument "{n}".
std::string trn(const char* singular, const char* plural, uint64_t n,
                MessageArguments arguments = {});

// `value` with `digits` decimals and the current language's decimal separator ("1,5").
std::string decimalNumber(double value, int digits);

// How many lookups in a language other than English found no translation since the last
// call, and the English of the last of them (for the tests that prove there is none).
int takeUntranslatedCount(std::string* lastMissing = nullptr);
