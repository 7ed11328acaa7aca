// The names quizpack gives what it writes when no -o names it. A quiz's executable and page
// are named after its title: the player keeps its answers in a file named after its own
// file, so two quizzes both called quiz.exe, started from one folder, would read and then
// overwrite each other's answers.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

constexpr size_t kMaxTitleNameLength = 60;

// A file name stem made of the Windows-1252 `title`: its letters (accents dropped) and
// digits, each run of other characters one '-', none at either end, at most
// kMaxTitleNameLength characters: "Capitales d'Europe" gives "Capitales-d-Europe". Plain
// ASCII, so that the name reads the same in every Windows code page, zip file and web host.
// Empty when nothing usable is left: no letter or digit, or a name that Windows keeps for a
// device (CON, NUL, COM1, ...).
std::string fileNameFromTitle(std::string_view title);

// The file named after `title` with `extension` (".exe", ".html") beside `input`, or after
// `input`'s own name when the title gives none.
std::filesystem::path defaultOutputPath(const std::filesystem::path& input, std::string_view title,
                                        const char* extension);
