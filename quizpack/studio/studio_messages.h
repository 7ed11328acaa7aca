// Every message the studio's server writes itself, from one table: what it answers a page
// that asked for something it cannot do, and the notices it sends with a save. The check's
// diagnostics are not here: they come from the description's own checker.
#pragma once

#include <string>
#include <utility>
#include <vector>

enum class StudioText {
    Forbidden,
    WrongHost,
    ForeignOrigin,
    MissingStudioHeader,
    WrongContentType,
    MethodNotAllowed,
    NotFound,
    BadJson,
    TooLarge,
    NoQuizOpen,
    NotEditable,
    SavedElsewhere,
    ChangedOnDisk,
    OriginalKept,
    CopyKept,
    KeysDropped,
    QuestionsFileReplaced,
    UnknownQuiz,
    QuizExists,
    BadQuizName,
    BadKind,
    UploadMalformed,
    UploadNoFile,
    UploadBadName,
    UploadTooLarge,
    UploadNotPicture,
    UploadNotClip,
    UploadBadRole,
    UploadBadQuestion,
    OutsideFolder,
    OutsideFolderHint,
    HasErrors,
    JobRunning,
    JobFailed,
    NothingBuilt,
    KeyFailed,
    BadTrial,
    CsvUnreadable,
    FolderMissing,
};

using StudioArguments = std::vector<std::pair<const char*, std::string>>;

// The message in the language of quizpack's messages (po/fr.po holds the French, which the
// studio speaks while it serves), each {name} replaced by its argument.

std::string studioMessage(StudioText id, const StudioArguments& arguments = {});
// The same in English, the messages' source language.
std::string studioMessageEnglish(StudioText id, const StudioArguments& arguments = {});
