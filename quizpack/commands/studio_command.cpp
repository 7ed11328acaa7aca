// quizpack studio [DIR|QUIZ.toml] [--port N] [--no-browser]: the editor in the browser.
#include <cstdio>
#include <cstdlib>

#include "quizpack/commands/commands.h"
#include "quizpack/common/file_io.h"
#include "quizpack/common/input_limits.h"
#include "quizpack/commands/desktop.h"
#include "quizpack/studio/studio_server.h"
#include "quizpack/common/messages.h"

namespace fs = std::filesystem;

namespace {

unsigned portOf(const CommandArguments& args) {
    if (!args.has("--port")) {
        return 0;
    }
    const std::string text = args.value("--port");
    char* end = nullptr;
    long port = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || port < 1 || port > 65535) {
        throw usageMistake(tr("--port takes a port number from 1 to 65535, not '{port}'",
                              {{"port", excerpt(text)}}));
    }
    return static_cast<unsigned>(port);
}

int serve(const StudioPlace& place, unsigned port, bool browser) {
    // The terminal's lines in the author's language; the studio's page is French, and so is
    // every message its server writes for it: check's diagnostics, its refusals, its notices.
    const std::string serving =
        tr("quizpack studio serves {place}; stop it with Ctrl+C or the page's Quitter button.\n",
           {{"place", displayPath(place.folder.empty() ? place.description : place.folder)}});
    const std::string noBrowser =
        tr("No browser could be started: open the address above in yours.\n");
    setMessageLanguage(Language::French);
    StudioState state(place);
    StudioServerOptions options;
    options.port = port;
    serveStudio(state, options, [&](const std::string& address) {
        // The first line, which scripts and tests read: nothing may come before it.
        printf("Studio: %s\n", address.c_str());
        fputs(serving.c_str(), stdout);
        fflush(stdout);
        if (browser && !openInBrowser(address)) {
            fputs(noBrowser.c_str(), stdout);
            fflush(stdout);
        }
    });
    return kExitOk;
}

} // namespace

int runStudio(const CommandArguments& args) {
    if (args.positional.size() > 1) {
        throw usageMistake(tr("give at most one folder or description"));
    }
    const unsigned port = portOf(args);
    const fs::path given =
        args.positional.empty() ? fs::path(".") : pathFromArgument(args.positional[0]);
    return serve(studioPlaceOf(given), port, !args.has("--no-browser"));
}

int runStudioFromDesktop() {
    fs::path documents = documentsFolder();
    if (documents.empty()) {
        return -1;
    }
    fs::path folder = documents / "Quizz";
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        return -1;
    }
    return serve(StudioPlace{folder, fs::path()}, 0, true);
}
