#include "quizpack/studio/studio_fields.h"

#include <nlohmann/json.hpp>

namespace {

const std::vector<FieldChoice> kKinds = {
    {"text", "Texte"}, {"picture", "Images"}, {"audio", "Audio"}, {"video", "Vid\u00e9o"}};
const std::vector<FieldChoice> kAnswerCounts = {{"1", "Une r\u00e9ponse"},
                                                {"2", "Deux r\u00e9ponses"}};
const std::vector<FieldChoice> kReveals = {
    {"none", "Rien"},
    {"picture", "L\u2019image r\u00e9v\u00e9l\u00e9e"},
    {"text", "Le texte r\u00e9v\u00e9l\u00e9"},
    {"text+picture", "Le texte et l\u2019image r\u00e9v\u00e9l\u00e9s"},
    {"all-texts", "Tous les textes, quand tout est trouv\u00e9"}};

const std::vector<FieldChoice> kAccents = {
    {"required", "Exig\u00e9s"},
    {"optional",
     "Facultatifs : \u00ab oeuvre \u00bb vaut \u00ab \u0153uvre \u00bb (et toute casse)"}};
const std::vector<FieldChoice> kCases = {
    {"a-z", "Ignor\u00e9es de a \u00e0 z seulement"},
    {"any",
     "Ignor\u00e9es partout : \u00ab \u00e9lys\u00e9e \u00bb vaut \u00ab \u00c9lys\u00e9e \u00bb"}};
const std::vector<FieldChoice> kQuotes = {
    {"exact", "Exacts"},
    {"any", "Typographiques accept\u00e9s : \u00ab l\u2019\u00e9t\u00e9 \u00bb vaut \u00ab "
            "l'\u00e9t\u00e9 \u00bb"}};

const char kRevealsTexts[] = "kind=picture;reveal=text|text+picture|all-texts";
const char kRevealsPictures[] = "kind=picture;reveal=picture|text+picture";

using Q = FieldScope;
using T = FieldType;

// clang-format off
const std::vector<StudioField> kFields = {
    {"quiz-title", Q::Quiz, "title", -1, T::Text, "Titre", {}, "", ""},
    {"quiz-creator", Q::Quiz, "creator", -1, T::Text, "Auteur", {}, "", ""},
    {"quiz-explanation", Q::Quiz, "explanation", -1, T::LongText, "Explication", {}, "", ""},
    {"quiz-kind", Q::Quiz, "kind", -1, T::Choice, "Type de quiz", kKinds, "", "text"},
    {"quiz-answers-per-question", Q::Quiz, "answers_per_question", -1, T::Number,
     "R\u00e9ponses par question", kAnswerCounts, "", "1"},
    {"quiz-label-1", Q::Quiz, "labels", 0, T::Text, "Nom de la 1re r\u00e9ponse", {},
     "answers_per_question=2", ""},
    {"quiz-label-2", Q::Quiz, "labels", 1, T::Text, "Nom de la 2e r\u00e9ponse", {},
     "answers_per_question=2", ""},
    {"quiz-reveal", Q::Quiz, "reveal", -1, T::Choice, "Une question trouv\u00e9e r\u00e9v\u00e8le",
     kReveals, "kind=picture", "none"},
    {"quiz-background", Q::Quiz, "background", -1, T::Colour, "Couleur du fond", {}, "", "#FFFFFF"},
    {"quiz-codes", Q::Quiz, "codes", -1, T::Lines, "Codes (un par ligne : le 1er pour 1 question trouv\u00e9e, etc.)", {}, "", ""},
    {"quiz-link", Q::Quiz, "link", -1, T::Text, "Lien de l\u2019en-t\u00eate (http:// ou https:// ; vide : celui de Quizz)", {}, "", ""},
    {"quiz-grading-accents", Q::Quiz, "grading.accents", -1, T::Choice, "Accents des r\u00e9ponses", kAccents, "", "required"},
    {"quiz-grading-case", Q::Quiz, "grading.case", -1, T::Choice, "Majuscules des r\u00e9ponses", kCases, "", "a-z"},
    {"quiz-grading-quotes", Q::Quiz, "grading.quotes", -1, T::Choice, "Apostrophes et guillemets", kQuotes, "", "exact"},

    {"answer-1", Q::Question, "answers", 0, T::Text, "R\u00e9ponse (formes accept\u00e9es s\u00e9par\u00e9es par |)", {}, "", ""},
    {"answer-2", Q::Question, "answers", 1, T::Text, "2e r\u00e9ponse (formes s\u00e9par\u00e9es par |)", {}, "answers_per_question=2", ""},
    {"text", Q::Question, "text", -1, T::Text, "Question", {}, "kind=text", ""},
    {"picture", Q::Question, "picture", -1, T::Media, "Image", {}, "kind=picture", ""},
    {"clip", Q::Question, "clip", -1, T::Media, "Extrait", {}, "kind=audio|video", ""},
    {"reveal-text", Q::Question, "reveal_text", -1, T::LongText, "Texte r\u00e9v\u00e9l\u00e9", {}, kRevealsTexts, ""},
    {"reveal-picture", Q::Question, "reveal_picture", -1, T::Media, "Image r\u00e9v\u00e9l\u00e9e", {}, kRevealsPictures, ""},
};
// clang-format on

const char* typeName(FieldType type) {
    switch (type) {
    case FieldType::Text:
        return "text";
    case FieldType::LongText:
        return "long-text";
    case FieldType::Choice:
        return "choice";
    case FieldType::Number:
        return "number";
    case FieldType::Colour:
        return "colour";
    case FieldType::Lines:
        return "lines";
    case FieldType::Media:
        return "media";
    }
    return "text";
}

} // namespace

const std::vector<StudioField>& studioFields() {
    return kFields;
}

nlohmann::json studioFieldsJson() {
    nlohmann::json rows = nlohmann::json::array();
    for (const StudioField& f : kFields) {
        nlohmann::json choices = nlohmann::json::array();
        for (const FieldChoice& c : f.choices) {
            choices.push_back({{"value", c.value}, {"label", c.label}});
        }
        rows.push_back({{"id", f.id},
                        {"scope", f.scope == FieldScope::Quiz ? "quiz" : "question"},
                        {"key", f.key},
                        {"index", f.index},
                        {"type", typeName(f.type)},
                        {"label", f.label},
                        {"choices", choices},
                        {"shownWhen", f.shownWhen},
                        {"fallback", f.fallback}});
    }
    return rows;
}
