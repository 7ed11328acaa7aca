// Serving the studio on 127.0.0.1 with Boost.Beast: one thread per connection reads each
// request (limits set on the parser before reading), hands it to handleRequest and writes
// the response. The only file that includes Beast and Asio.
#pragma once

#include <functional>
#include <string>

#include "quizpack/studio/studio_state.h"

struct StudioServerOptions {
    unsigned port = 0; // 0: a free port
};

// Listens on 127.0.0.1, calls `started` with the studio's address (token included) once it
// listens, and serves until Ctrl+C or the page's "Quitter". Throws QuizpackError (exit code
// 2) when it cannot listen (a port already taken).
void serveStudio(StudioState& state, const StudioServerOptions& options,
                 const std::function<void(const std::string& address)>& started);
