// The clip files and messages of audio and video questions: which file a clip is written
// to, and what the player is told when a clip is missing from the program.
#pragma once

#include <cstddef>

// What a clip is for; the kind picks its file name and its messages.
enum MediaKind {
    MEDIA_AUDIO = 1, // one file, "quizz.mp3", played through the hidden MCI window
    MEDIA_VIDEO = 2, // "quizz<q>.avi" per question, played by that question's media player
};

// The one audio clip file, in the current working directory.
extern const char kAudioClipFile[];

// Caption of every media message.
extern const char kMediaMessageCaption[];

// Writes the file name for clip resource `resourceId` (400 + q) of `kind` into `out`, which
// holds `capacity` bytes: "quizz.mp3" for audio, "quizz%d.avi" with resourceId - 400 for
// video. False, with `out` emptied when it has room for that, for an unknown kind or a name
// that does not fit.
bool mediaFileName(int kind, int resourceId, char* out, size_t capacity);

// The message for a clip resource of `kind` that is not in the program, and for one that
// cannot be loaded. Null for an unknown kind.
const char* missingClipMessage(int kind);
const char* unloadableClipMessage(int kind);
