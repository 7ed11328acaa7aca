// The editor's fields, one row each: the element the page shows, the description key it
// edits, its kind of value and its French label. The page builds its form from this table
// (sent as JSON), and the studio reads and writes descriptions through it, so a new key of
// the description is one row here.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

enum class FieldScope { Quiz, Question };

enum class FieldType {
    Text,     // one line
    LongText, // several lines of text, stored as one text
    Choice,   // one of `choices`, stored as a text
    Number,   // one of `choices`, stored as an integer
    Colour,   // "#RRGGBB"
    Lines,    // a list of texts, one a line in a text area
    Media,    // a file of the quiz folder, chosen with a file picker
};

struct FieldChoice {
    const char* value;
    const char* label;
};

struct StudioField {
    const char* id; // the element's id; a question's fields are "question-N-" + id
    FieldScope scope;
    const char* key; // the description key: "title", "labels", "grading.accents"
    int index;       // the element of an array key (0 = first), or -1
    FieldType type;
    const char* label;
    std::vector<FieldChoice> choices;
    // When the field is shown, as "key=value|value" over the quiz's settings; "" always.
    const char* shownWhen;
    const char* fallback; // the value when the description does not give the key
};

const std::vector<StudioField>& studioFields();

// The table as the page reads it.
nlohmann::json studioFieldsJson();
