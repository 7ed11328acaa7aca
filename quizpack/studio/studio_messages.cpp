#include "quizpack/studio/studio_messages.h"

#include "quizpack/common/messages.h"

namespace {

// The English of each message; its French is in po/fr.po, with quizpack's other messages.
struct StudioMessageRow {
    StudioText id;
    const char* english;
};

// clang-format off
const StudioMessageRow kStudioMessages[] = {
    {StudioText::Forbidden, N_("This address is not the studio's: open the address quizpack studio printed.")},
    {StudioText::WrongHost, N_("The studio answers only at 127.0.0.1 and localhost.")},
    {StudioText::ForeignOrigin, N_("Another site may not change this quiz.")},
    {StudioText::MissingStudioHeader, N_("Only the studio's own page may change this quiz.")},
    {StudioText::WrongContentType, N_("The studio takes JSON or a file sent by its page.")},
    {StudioText::MethodNotAllowed, N_("The studio does not do {method} here.")},
    {StudioText::NotFound, N_("Nothing here: {path}.")},
    {StudioText::BadJson, N_("The page sent something the studio cannot read: {why}.")},
    {StudioText::TooLarge, N_("Too large: the studio takes at most {limit} in one request.")},
    {StudioText::NoQuizOpen, N_("No quiz is open: choose one in the list.")},
    {StudioText::NotEditable, N_("{file} cannot be edited in the studio: {why}. Mend it in a text editor, then reload.")},
    {StudioText::SavedElsewhere, N_("The quiz was saved from another tab of the studio.")},
    {StudioText::ChangedOnDisk, N_("{file} was changed outside the studio.")},
    {StudioText::OriginalKept, N_("The studio rewrites {file} in its own way: your original is kept as {copy}.")},
    {StudioText::CopyKept, N_("The version on disk is kept as {copy}.")},
    {StudioText::KeysDropped, N_("The studio does not know these keys and leaves them out: {keys} (they stay in {copy}).")},
    {StudioText::QuestionsFileReplaced, N_("The questions now live in quiz.toml; {file} is left as it was.")},
    {StudioText::UnknownQuiz, N_("There is no quiz {name} here.")},
    {StudioText::QuizExists, N_("A folder {name} exists already: choose another name.")},
    {StudioText::BadQuizName, N_("Give the quiz a name with at least one letter or digit.")},
    {StudioText::BadKind, N_("A quiz is of kind text, picture, audio or video.")},
    {StudioText::UploadMalformed, N_("The file did not arrive whole: {why}.")},
    {StudioText::UploadNoFile, N_("No file was sent.")},
    {StudioText::UploadBadName, N_("The file name {name} is refused: a file name cannot hold a folder.")},
    {StudioText::UploadTooLarge, N_("{name} is {size}; a file may be at most {limit}.")},
    {StudioText::UploadNotPicture, N_("{name} is not a picture the quiz can show ({why}): give a JPEG, PNG, GIF or BMP picture.")},
    {StudioText::UploadNotClip, N_("{name} is not {format} clip: this quiz plays {format} files.")},
    {StudioText::UploadBadRole, N_("A question's file is its picture, its reveal picture or its clip.")},
    {StudioText::UploadBadQuestion, N_("There is no question {question}.")},
    {StudioText::OutsideFolder, N_("{path} is outside the quiz folder: the studio reads only the quiz folder's files.")},
    {StudioText::OutsideFolderHint, N_("copy it into the quiz's media/ folder, or choose it with the question's file button")},
    {StudioText::HasErrors, N_("The quiz has {count} errors: mend them before making it.")},
    {StudioText::JobRunning, N_("It is being made already.")},
    {StudioText::JobFailed, N_("It could not be made: {why}")},
    {StudioText::NothingBuilt, N_("Nothing has been made yet.")},
    {StudioText::KeyFailed, N_("The answer key could not be written: {why}")},
    {StudioText::BadTrial, N_("Choose a question and an answer field.")},
    {StudioText::CsvUnreadable, N_("The table cannot be read: see the problems listed.")},
    {StudioText::FolderMissing, N_("{path} is not a folder.")},
};
// clang-format on

std::string fill(const char* pattern, const StudioArguments& arguments) {
    std::string out;
    for (const char* p = pattern; *p != '\0'; ++p) {
        if (*p == '{') {
            const char* end = p + 1;
            while (*end != '\0' && *end != '}') {
                ++end;
            }
            std::string name(p + 1, end);
            for (const auto& argument : arguments) {
                if (name == argument.first && *end == '}') {
                    out += argument.second;
                    p = end;
                    break;
                }
            }
            if (p == end) {
                continue;
            }
        }
        out += *p;
    }
    return out;
}

const StudioMessageRow& row(StudioText id) {
    for (const StudioMessageRow& r : kStudioMessages) {
        if (r.id == id) {
            return r;
        }
    }
    return kStudioMessages[0];
}

} // namespace

std::string studioMessage(StudioText id, const StudioArguments& arguments) {
    return fill(tr(row(id).english), arguments);
}

std::string studioMessageEnglish(StudioText id, const StudioArguments& arguments) {
    return fill(row(id).english, arguments);
}
