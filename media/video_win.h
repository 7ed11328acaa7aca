// Video questions: one embedded media player per question, hosted in its player host static.
#pragma once

#include <windows.h>

struct IWMPPlayer;
struct MediaState;

// The default player factory: a new Windows Media Player object (in-process or local
// server), asked for its IWMPPlayer interface. COM must be initialised.
HRESULT createMediaPlayer(int question, IWMPPlayer** player);

// Question q's player, made while the board is built, right after its player host
// (9900 + q) by media.createPlayer and kept in media's tables: attached to the host with
// media.atlAxAttachControl, without its own buttons, with the clip's file ("IMG" 400 + q of
// `instance`, the program's module) as its URL, stopped, and the file deleted again. The
// results of those steps are not looked at. False only when the player object cannot be
// made (or q is outside 1..90): the board then stops building.
bool createVideoPlayer(MediaState& media, HINSTANCE instance, HWND board, int question);

// Play button of question q: the clip is written again from `instance` and q's player plays
// it; the other players go on. Ignored for a question without a player.
void playVideo(const MediaState& media, HINSTANCE instance, int question);

// Any stop button: every player is stopped, questions 1 to 90 in order.
void stopVideos(const MediaState& media);

// Shut-down, once the hosts are destroyed and before COM is: drops the program's own
// references to every player and empties media's tables.
void releaseVideoPlayers(MediaState& media);
