// The board's play and stop buttons, sent to the audio or the video layer by quiz type.
#include "media/media_commands_win.h"

#include "media/audio_win.h"
#include "media/video_win.h"
#include "window/app_state_win.h"

bool createQuestionPlayer(HWND board, int question) {
    return createVideoPlayer(board, question);
}

void playQuestionMedia(HWND board, int question) {
    if (g_app.quiz->quizType == QUIZ_AUDIO) {
        playAudio(board, question);
    } else if (g_app.quiz->quizType == QUIZ_VIDEO) {
        playVideo(question);
    }
}

void stopQuestionMedia(HWND) {
    if (g_app.quiz->quizType == QUIZ_AUDIO) {
        stopAudio();
    } else if (g_app.quiz->quizType == QUIZ_VIDEO) {
        stopVideos();
    }
}
