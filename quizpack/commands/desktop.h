// What the studio asks of the desktop: the default browser, and the user's Documents.
#pragma once

#include <filesystem>
#include <string>

// Opens `address` in the default browser (xdg-open; ShellExecute "open" on Windows) without
// waiting for it. False when nothing could be started.
bool openInBrowser(const std::string& address);

// The user's Documents folder; empty where there is none to tell (every system but Windows).
std::filesystem::path documentsFolder();
