#include "media/media_files.h"

#include <cstdio>

#include "resources/resource.h"

const char kAudioClipFile[] = "quizz.mp3";
const char kMediaMessageCaption[] = "Information";

bool mediaFileName(int kind, int resourceId, char* out, size_t capacity) {
    int length = -1;
    if (kind == MEDIA_AUDIO) {
        length = snprintf(out, capacity, "%s", kAudioClipFile);
    } else if (kind == MEDIA_VIDEO) {
        length = snprintf(out, capacity, "quizz%d.avi", resourceId - IDR_QUESTION_MEDIA_BASE);
    }
    if (length < 0 || static_cast<size_t>(length) >= capacity) {
        if (capacity > 0) {
            out[0] = '\0';
        }
        return false;
    }
    return true;
}

const char* missingClipMessage(int kind) {
    switch (kind) {
    case MEDIA_AUDIO:
        return "Impossible de localiser le fichier audio.";
    case MEDIA_VIDEO:
        return "Impossible de localiser le fichier vid\xE9o.";
    default:
        return nullptr;
    }
}

const char* unloadableClipMessage(int kind) {
    switch (kind) {
    case MEDIA_AUDIO:
        return "Impossible de charger le fichier audio.";
    case MEDIA_VIDEO:
        return "Impossible de charger le fichier vid\xE9o.";
    default:
        return nullptr;
    }
}
