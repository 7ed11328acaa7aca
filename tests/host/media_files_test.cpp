// Clip file names and media messages: the file each kind writes for each resource, what
// happens when the name does not fit, and the texts shown for missing clips.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "media/media_files.h"

namespace {

struct NameCase {
    int kind;
    int resourceId;
    size_t capacity;
    bool ok;
    const char* name;
};

TEST(MediaFiles, FileNames) {
    const NameCase cases[] = {
        {MEDIA_AUDIO, 401, 32, true, "quizz.mp3"},
        {MEDIA_AUDIO, 490, 32, true, "quizz.mp3"}, // one file whatever the question
        {MEDIA_VIDEO, 401, 32, true, "quizz1.avi"},
        {MEDIA_VIDEO, 412, 32, true, "quizz12.avi"},
        {MEDIA_VIDEO, 490, 32, true, "quizz90.avi"},
        {MEDIA_VIDEO, 490, 12, true, "quizz90.avi"}, // exactly enough room
        {MEDIA_VIDEO, 490, 11, false, ""},           // one byte short: nothing half-written
        {MEDIA_AUDIO, 401, 9, false, ""},
        {0, 401, 32, false, ""},
        {3, 401, 32, false, ""},
    };
    for (const NameCase& c : cases) {
        char out[48];
        memset(out, 'x', sizeof out);
        bool ok = mediaFileName(c.kind, c.resourceId, out, c.capacity);
        std::string row = "kind " + std::to_string(c.kind) + ", resource " +
                          std::to_string(c.resourceId) + ", capacity " + std::to_string(c.capacity);
        EXPECT_EQ(ok, c.ok) << row;
        EXPECT_STREQ(out, c.name) << row;
        EXPECT_EQ(out[c.capacity], 'x') << row << ": wrote past its capacity";
    }
}

struct MessageCase {
    int kind;
    const char* missing;
    const char* unloadable;
};

TEST(MediaFiles, Messages) {
    const MessageCase cases[] = {
        {MEDIA_AUDIO, "Impossible de localiser le fichier audio.",
         "Impossible de charger le fichier audio."},
        {MEDIA_VIDEO, "Impossible de localiser le fichier vid\xE9o.",
         "Impossible de charger le fichier vid\xE9o."},
        {0, nullptr, nullptr},
        {3, nullptr, nullptr},
    };
    for (const MessageCase& c : cases) {
        const char* missing = missingClipMessage(c.kind);
        const char* unloadable = unloadableClipMessage(c.kind);
        if (c.missing == nullptr) {
            EXPECT_EQ(missing, nullptr) << "kind " << c.kind;
            EXPECT_EQ(unloadable, nullptr) << "kind " << c.kind;
            continue;
        }
        ASSERT_NE(missing, nullptr) << "kind " << c.kind;
        ASSERT_NE(unloadable, nullptr) << "kind " << c.kind;
        EXPECT_STREQ(missing, c.missing) << "kind " << c.kind;
        EXPECT_STREQ(unloadable, c.unloadable) << "kind " << c.kind;
    }
    EXPECT_STREQ(kMediaMessageCaption, "Information");
}

} // namespace
