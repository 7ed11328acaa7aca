// Placeholder media for the quizzes that quizpack new starts: files the player shows and
// plays as they are, each marked with its question's number, for the author to replace.
#pragma once

#include <cstdint>
#include <vector>

// A 240 x 180 JPEG showing the number `question` (1 to 99) large: dark on sand for the
// question picture, white on green for the reveal picture.
std::vector<uint8_t> placeholderPicture(int question, bool reveal);

// One second of silence as an MP3 stream (MPEG-1 layer III, 32 kbit/s, 32 kHz, mono).
std::vector<uint8_t> silentMp3();

// A two-second 64 x 48 AVI film in which the number `question` (1 to 99) blinks, with the
// silent sound stream that Wine's player needs.
std::vector<uint8_t> placeholderFilm(int question);
