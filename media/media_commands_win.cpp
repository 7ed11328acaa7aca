// The board's play and stop buttons, sent to the audio or the video layer by quiz type.
#include "media/media_commands_win.h"

#include "content/quiz.h"
#include "media/audio_win.h"
#include "media/media_state_win.h"
#include "media/video_win.h"

bool createQuestionPlayer(MediaState& media, HINSTANCE instance, HWND board, int question) {
    return createVideoPlayer(media, instance, board, question);
}

void playQuestionMedia(MediaState& media, HINSTANCE instance, int quizType, HWND board,
                       int question) {
    if (quizType == QUIZ_AUDIO) {
        playAudio(media, instance, board, question);
    } else if (quizType == QUIZ_VIDEO) {
        playVideo(media, instance, question);
    }
}

void stopQuestionMedia(MediaState& media, int quizType) {
    if (quizType == QUIZ_AUDIO) {
        stopAudio(media);
    } else if (quizType == QUIZ_VIDEO) {
        stopVideos(media);
    }
}
