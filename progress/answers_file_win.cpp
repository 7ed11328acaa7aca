// Writing the answers file from the board's fields, and opening it for the board to read.
#include "progress/answers_file_win.h"

#include <cstdio>

#include "progress/answers_file.h"
#include "resources/resource.h"

namespace {

const char kTemporarySuffix[] = ".tmp";

// The answers file's name for the running program, into `name` (MAX_PATH bytes).
bool ownAnswersFileName(char* name) {
    char program[MAX_PATH];
    moduleBaseName(program, sizeof program);
    return answersFileName(program, name, MAX_PATH);
}

// Writes one line per field; false as soon as a write does not go through whole.
bool writeFieldLines(HANDLE file, HWND board, int fieldCount) {
    for (int k = 1; k <= fieldCount; ++k) {
        char text[kAnswerTextCapacity] = "";
        // A field missing because the board's initialisation stopped early reads as empty.
        HWND field = GetDlgItem(board, answerFieldId(k));
        if (field != nullptr) {
            GetWindowTextA(field, text, sizeof text);
        }
        char line[kAnswerLineCapacity];
        DWORD length = static_cast<DWORD>(formatAnswerLine(text, line));
        DWORD written = 0;
        if (!WriteFile(file, line, length, &written, nullptr) || written != length) {
            return false;
        }
    }
    return true;
}

} // namespace

void moduleBaseName(char* buffer, DWORD size) {
    if (size == 0) {
        return;
    }
    DWORD length = GetModuleFileNameA(nullptr, buffer, size);
    // A length equal to the size means the name was cut (and, on old systems, left
    // unterminated): a cut name would point at some other file.
    if (length == 0 || length >= size) {
        buffer[0] = '\0';
        return;
    }
    keepBaseName(buffer);
}

bool writeAnswersFile(const Quiz* quiz, HWND board) {
    if (quiz == nullptr) {
        return false;
    }
    char name[MAX_PATH];
    if (!ownAnswersFileName(name)) {
        return false;
    }
    // A read-only answers file is left alone, as an overwrite would be refused; a rename
    // would replace it all the same.
    DWORD attributes = GetFileAttributesA(name);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return false;
    }
    char temporary[MAX_PATH + sizeof kTemporarySuffix];
    snprintf(temporary, sizeof temporary, "%s%s", name, kTemporarySuffix);

    // Rewriting the answers file in place would lose every saved answer to a crash or a
    // power cut in the middle of the write; the old file goes only when the new one is whole.
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    int fieldCount = answerFieldCount(quiz->answersPerQuestion, quiz->questionCount);
    // Flushed before the rename, so the new name never points at data still in the cache.
    bool complete = writeFieldLines(file, board, fieldCount) && FlushFileBuffers(file);
    complete = CloseHandle(file) && complete;
    if (complete &&
        MoveFileExA(temporary, name, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    DeleteFileA(temporary);
    return false;
}

void openSavedAnswers(SavedAnswers* saved) {
    saved->file = nullptr;
    char name[MAX_PATH];
    if (ownAnswersFileName(name)) {
        // Binary: text mode would end the file at a byte 0x1A, and every answer after it would
        // be written back as "*" at the next close. readAnswerLine ends lines at LF and CR LF.
        saved->file = fopen(name, "rb");
    }
}

void readSavedAnswer(SavedAnswers* saved, char* text) {
    text[0] = '\0';
    if (saved->file != nullptr) {
        readAnswerLine(saved->file, text);
    }
}

void closeSavedAnswers(SavedAnswers* saved) {
    if (saved->file != nullptr) {
        fclose(saved->file);
        saved->file = nullptr;
    }
}
