#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#include "quizpack/common/input_limits.h"
#include "quizpack/description/description_checker.h"
#include "quizpack/description/description_syntax.h"
#include "quizpack/common/messages.h"

namespace fs = std::filesystem;

namespace {

std::string twoDigits(int q) {
    char s[16];
    snprintf(s, sizeof s, "%02d", q);
    return s;
}

} // namespace

// Which "IMG" resource a media key becomes in this quiz, or why it is never shown.
void DescriptionChecker::readMedia(const QuestionValues& values, int q) {
    readQuestionPicture(values, q);
    readRevealPicture(values, q);
    readClip(values, q);
}

void DescriptionChecker::readQuestionPicture(const QuestionValues& values, int q) {
    bool picture = showsPictures();
    const std::optional<QuestionValue>& pictureValue = values.picture;
    if (pictureValue && kindKnown_ && !picture) {
        AtCell at(this, pictureValue->cell);
        warning(pictureValue->line(), questionKey(q, "picture"),
                tr("a quiz of kind = {kind} never shows question pictures; it is not stored",
                   {{"kind", kindText()}}),
                tr("remove it, or set kind = \"picture\""));
    } else if (pictureValue) {
        addMedia(*pictureValue, q, "picture", MediaRole::QuestionPicture, kQuestionMediaBase + q);
    } else if (picture) {
        warning(values.line, questionKey(q, "picture"),
                tr("question {q} has no picture: the player shows an empty frame", {{"q", q}}),
                tr("add picture = \"media/q{nn}.jpg\"", {{"nn", twoDigits(q)}}));
    }
}

void DescriptionChecker::readRevealPicture(const QuestionValues& values, int q) {
    bool picture = showsPictures();
    bool revealsPictures =
        picture && revealKnown_ &&
        (d_.revealMode == REVEAL_PICTURE || d_.revealMode == REVEAL_TEXT_AND_PICTURE);
    const std::optional<QuestionValue>& revealValue = values.revealPicture;
    if (revealValue && kindKnown_ && revealKnown_ && !revealsPictures) {
        AtCell at(this, revealValue->cell);
        warning(revealValue->line(), questionKey(q, "reveal_picture"),
                picture ? tr("reveal = {value} never shows reveal pictures; it is not stored",
                             {{"value", inQuotes(revealName(d_.revealMode))}})
                        : tr("a quiz of kind = {kind} never shows reveal pictures; it is not "
                             "stored",
                             {{"kind", kindText()}}),
                picture ? tr("set reveal = \"picture\" or \"text+picture\", or remove it")
                        : tr("remove it; reveal pictures need kind = \"picture\""));
    } else if (revealValue) {
        addMedia(*revealValue, q, "reveal_picture", MediaRole::RevealPicture,
                 kRevealPictureBase + q);
    } else if (revealsPictures) {
        warning(values.line, questionKey(q, "reveal_picture"),
                tr("question {q} has no reveal picture: solving it keeps the question picture",
                   {{"q", q}}),
                tr("add reveal_picture = \"media/r{nn}.jpg\"", {{"nn", twoDigits(q)}}));
    }
}

void DescriptionChecker::readClip(const QuestionValues& values, int q) {
    const std::optional<QuestionValue>& clipValue = values.clip;
    bool clips = kindKnown_ && (d_.quizType == QUIZ_AUDIO || d_.quizType == QUIZ_VIDEO);
    if (clipValue && kindKnown_ && !clips) {
        AtCell at(this, clipValue->cell);
        warning(clipValue->line(), questionKey(q, "clip"),
                tr("a quiz of kind = {kind} never plays clips; it is not stored",
                   {{"kind", kindText()}}),
                tr("remove it, or set kind = \"audio\" (MP3) or \"video\" (AVI)"));
    } else if (clipValue && clips) {
        addMedia(*clipValue, q, "clip",
                 d_.quizType == QUIZ_VIDEO ? MediaRole::VideoClip : MediaRole::AudioClip,
                 kQuestionMediaBase + q);
    } else if (clips) {
        bool video = d_.quizType == QUIZ_VIDEO;
        error(values.line, questionKey(q, "clip"),
              video ? tr("question {q} has no clip: the player would show \"Impossible de "
                         "localiser le fichier vid\u00e9o.\" at every start",
                         {{"q", q}})
                    : tr("question {q} has no clip: the player would show \"Impossible de "
                         "localiser le fichier audio.\" when play is pressed",
                         {{"q", q}}),
              video ? tr("add clip = \"media/q{nn}.avi\"", {{"nn", twoDigits(q)}})
                    : tr("add clip = \"media/q{nn}.mp3\"", {{"nn", twoDigits(q)}}));
    }
}

// A line break or tab in a path is a Windows path's \n, \t or \r read as an escape in
// double quotes (media\nouveau.jpg), or a cell written over two lines.
bool DescriptionChecker::refusedControlCharacter(const QuestionValue& value, const std::string& key,
                                                 const std::string& given) {
    const size_t at = std::find_if(given.begin(), given.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x20; }) -
                      given.begin();
    if (at == given.size()) {
        return false;
    }
    AtCell cell(this, value.cell);
    const bool tab = given[at] == '\t';
    const MessageArguments arguments = {{"path", quoteInput(given)}};
    if (value.cell != nullptr) {
        error(value.line(), key,
              tab ? tr("the path {path} holds a tab", arguments)
                  : tr("the path {path} holds a line break", arguments),
              tr("write the path on one line, its folders separated by / or \\"));
    } else {
        error(value.line(), key,
              tab ? tr("the path {path} holds a tab: in double quotes, \\n is a line break, \\t "
                       "a tab and \\r a carriage return, not a folder separator and a letter",
                       arguments)
                  : tr("the path {path} holds a line break: in double quotes, \\n is a line "
                       "break, \\t a tab and \\r a carriage return, not a folder separator and "
                       "a letter",
                       arguments),
              backslashPathHint(printable(given)));
    }
    return true;
}

void DescriptionChecker::addMedia(const QuestionValue& value, int q, const char* name,
                                  MediaRole role, uint32_t resourceId) {
    std::string key = questionKey(q, name);
    const std::string* given = value.cell ? &value.cell->text : nullptr;
    if (value.node != nullptr) {
        const auto* s = value.node->as_string();
        if (s == nullptr || s->get().empty()) {
            error(lineOf(*value.node), key,
                  s ? tr("is empty")
                    : tr("must be a file path in double quotes, not {type}",
                         {{"type", typeName(*value.node)}}),
                  tr("give the file's path relative to the description, for example "
                     "\"media/q01.jpg\""));

            return;
        }
        given = &s->get();
    }
    if (refusedControlCharacter(value, key, *given)) {
        return;
    }
    MediaFile media;
    media.role = role;
    media.question = q;
    media.resourceId = resourceId;
    media.given = *given;
    media.written = slashedPath(*given);
    media.path = media.written.is_absolute() ? media.written : d_.folder / media.written;
    media.key = key;
    media.line = value.line();
    media.file = source().file.empty() ? d_.file : source().file;
    media.column = value.cell ? value.cell->column : 0;
    d_.media.push_back(std::move(media));
}
