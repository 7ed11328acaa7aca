#include "quizpack/executable/builder.h"

#include <chrono>
#include <cstdlib>

#include "quizpack/common/file_io.h"
#include "quizpack/common/input_limits.h"
#include "quizpack/common/output_names.h"
#include "quizpack/executable/packing.h"
#include "quizpack/media/parallel.h"
#include "quizpack/executable/pe_resources.h"
#include "quizpack/executable/quiz_reader.h"
#include "quizpack/common/messages.h"

namespace fs = std::filesystem;

fs::path runningExecutablePath() {
#if defined(_WIN32)
    // The C runtime's copy of the module file name; no Windows header needed for it.
    const char* path = _pgmptr;
    return path != nullptr && path[0] != '\0' ? fs::path(path) : fs::path();
#elif defined(__linux__)
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : self;
#else
    return {};
#endif
}

namespace {

bool tryRead(const fs::path& path, PlayerTemplate* found, std::vector<std::string>* looked) {
    std::error_code ec;
    looked->push_back(displayPath(path));
    if (!fs::is_regular_file(path, ec)) {
        return false;
    }
    found->bytes = readWholeFile(path);
    found->origin = displayPath(path);
    found->file = path;
    return true;
}

// A Windows quizpack.exe may carry the player; an ELF quizpack never does.
bool tryEmbedded(const fs::path& quizpack, PlayerTemplate* found,
                 std::vector<std::string>* looked) {
#if defined(_WIN32)
    std::error_code ec;
    if (quizpack.empty() || !fs::is_regular_file(quizpack, ec)) {
        return false;
    }
    looked->push_back(tr("the \"{type}\" resource of {file}",
                         {{"type", kEmbeddedPlayerType}, {"file", displayPath(quizpack)}}));
    try {
        for (Resource& r : readResources(readWholeFile(quizpack))) {
            if (r.type == ResourceId::fromName(kEmbeddedPlayerType)) {
                found->bytes = std::move(r.data);
                found->origin = tr("the player inside {file}", {{"file", displayPath(quizpack)}});
                return true;
            }
        }
    } catch (const PeError&) {
        return false;
    }
    return false;
#else
    (void)quizpack;
    (void)found;
    (void)looked;
    return false;
#endif
}

} // namespace

PlayerTemplate findPlayerTemplate(const std::optional<fs::path>& explicitPlayer,
                                  const fs::path& quizpackPath) {
    PlayerTemplate found;
    std::vector<std::string> looked;
    if (explicitPlayer) {
        try {
            found.bytes = readWholeFile(*explicitPlayer);
        } catch (const FileError& e) {
            throw BuildError(tr("--player: {reason}", {{"reason", e.what()}}));
        }
        found.origin = displayPath(*explicitPlayer);
        found.file = *explicitPlayer;
        return found;
    }
    fs::path folder = quizpackPath.parent_path();
    if (!quizpackPath.empty() && tryRead(folder / "quizplayer.exe", &found, &looked)) {
        return found;
    }
    if (tryEmbedded(quizpackPath, &found, &looked)) {
        return found;
    }
    // An installed quizpack (PREFIX/bin) finds it where the install rules put it.
    if (!quizpackPath.empty() &&
        tryRead((folder / QUIZZ_INSTALLED_PLAYER).lexically_normal(), &found, &looked)) {
        return found;
    }
    // The host build's quizpack lives in build/host, the player in build/win64.
    if (!quizpackPath.empty() &&
        tryRead(folder.parent_path() / "win64" / "quizplayer.exe", &found, &looked)) {
        return found;
    }
    std::string places;
    for (const std::string& p : looked)
        places += "\n  " + p;
    throw BuildError(
        tr("no player program found to build the quiz into; looked at:{places}\npass "
           "--player PATH/quizplayer.exe",
           {{"places", places.empty() ? "\n  " + std::string(tr("(the location of quizpack is "
                                                                "unknown)"))
                                      : places}}));
}

std::string describeIfNotQuizExecutable(const std::vector<uint8_t>& bytes) {
    try {
        for (const Resource& r : readResources(bytes)) {
            if (r.type == patchType() && r.name == ResourceId::fromNumber(kPackageResourceId)) {
                return "";
            }
        }
        return tr("a Windows program that carries no quiz");
    } catch (const PeError&) {
        return describeFileContent(bytes);
    }
}

std::string describePreparation(const PreparedPicture& p, Downscaling downscaling) {
    auto size = [](PictureSize s) {
        return std::to_string(s.width) + "x" + std::to_string(s.height);
    };
    const MessageArguments arguments = {
        {"from", std::string(mediaFormatName(p.from)) + " " + size(p.original)},
        {"format", mediaFormatName(p.from)},
        {"shown", size(storedPictureSize(p.original))},
        {"size", formatSize(p.bytes.size())},
        {"to", std::string(mediaFormatName(p.to)) + " " + size(p.stored)},
        {"quality", p.quality}};
    if (!p.reencoded()) {
        return downscaling == Downscaling::Off &&
                       (p.original.width > kPictureBox || p.original.height > kPictureBox)
                   ? tr("stored as it is: {from} (--keep-pictures; the player shrinks it to "
                        "{shown}), {size}",
                        arguments)
                   : tr("stored as it is: {from}, {size}", arguments);
    }
    std::string text;
    if (!(p.original == p.stored)) {
        text = p.from == p.to
                   ? tr("{from} downscaled to {to} (quality {quality})", arguments)
                   : tr("{from} downscaled and converted to {to} (quality {quality})", arguments);
    } else {
        text = tr("{from} converted to {to} (quality {quality})", arguments);
    }
    if (p.from != p.to && !playerShowsPicture(p.from)) {
        text += tr("; the player cannot show {format}", arguments);
    }
    return text;
}

PreparedMedia prepareMediaBytes(std::vector<uint8_t> bytes, MediaRole role, Downscaling downscaling,
                                Rgb background) {
    PreparedMedia prepared;
    if (role != MediaRole::QuestionPicture && role != MediaRole::RevealPicture) {
        prepared.done = tr("stored as it is: {format} clip, {size}",
                           {{"format", mediaFormatName(sniffMediaFormat(bytes))},
                            {"size", formatSize(bytes.size())}});
        prepared.bytes = std::move(bytes);
        return prepared;
    }
    try {
        PreparedPicture picture = preparePicture(bytes, downscaling, background);
        if (!picture.reencoded()) {
            // The check read only its header; what goes in as it is must decode too.
            inspectPicture(picture.bytes);
        }
        prepared.done = describePreparation(picture, downscaling);
        if (picture.reencoded()) {
            prepared.done +=
                tr(", {before} -> {after}", {{"before", formatSize(bytes.size())},
                                             {"after", formatSize(picture.bytes.size())}});
        }
        prepared.bytes = std::move(picture.bytes);
    } catch (const PictureError& e) {
        prepared.error = e.what();
        prepared.hint = e.hint;
    }
    return prepared;
}

PreparedMedia prepareMedia(const MediaFile& media, Downscaling downscaling, Rgb background) {
    return prepareMediaBytes(readWholeFile(media.path), media.role, downscaling, background);
}

namespace {

Resource quizResource(const ResourceId& type, uint32_t id, std::vector<uint8_t> data) {
    Resource r;
    r.type = type;
    r.name = ResourceId::fromNumber(id);
    r.language = 0; // neutral, as the player's own resources are tagged
    r.data = std::move(data);
    return r;
}

// Decoding, resizing and encoding photos is most of a build's time: one file per core.
// Each prepared file joins `add` and is reported to `progress` in description order; the
// pictures that do not decode come back as errors.
std::vector<Diagnostic> prepareAllMedia(const Description& d, const BuildOptions& options,
                                        const BuildProgress& progress, BuildReport* report,
                                        std::vector<Resource>* add) {
    std::vector<PreparedMedia> prepared(d.media.size());
    std::vector<Diagnostic> pictureErrors;
    runInParallel(
        d.media.size(),
        [&](size_t i) {
            prepared[i] = prepareMedia(d.media[i], options.downscaling, d.background);
        },
        [&](size_t i) {
            const MediaFile& media = d.media[i];
            if (!prepared[i].error.empty()) {
                pictureErrors.push_back(
                    Diagnostic{media.file, media.line, media.key, Severity::Error,
                               tr("{what}: {problem}", {{"what", quoteInput(media.given)},
                                                        {"problem", prepared[i].error}}),
                               prepared[i].hint, media.column});
                return;
            }
            report->mediaBytes += prepared[i].bytes.size();
            add->push_back(
                quizResource(imageType(), media.resourceId, std::move(prepared[i].bytes)));
            if (progress) {
                progress(i + 1, d.media.size(), media, prepared[i].done);
            }
        });
    return pictureErrors;
}

// Every quiz resource of the template goes: the player's built-in quiz, and any media of a
// quiz it was built with, must not survive into this one.
std::vector<uint8_t> rewritePlayer(const PlayerTemplate& player, const std::vector<Resource>& add) {
    ResourceId patch = patchType();
    ResourceId image = imageType();
    try {
        return replaceResources(
            player.bytes, [&](const Resource& r) { return r.type == patch || r.type == image; },
            add);
    } catch (const PeError& e) {
        throw BuildError(tr("{player}: cannot be used as the player program: {reason}\npass "
                            "--player with the quizplayer.exe of a Quizz build",
                            {{"player", player.origin}, {"reason", e.what()}}));
    }
}

} // namespace

bool noPictureErrors(const std::vector<Diagnostic>& pictureErrors, std::vector<Diagnostic>* all,
                     const CheckedCallback& checked) {
    if (pictureErrors.empty()) {
        return true;
    }
    all->insert(all->end(), pictureErrors.begin(), pictureErrors.end());
    if (checked) {
        checked(pictureErrors);
    }
    return false;
}

BuildReport buildQuiz(const BuildOptions& options, const BuildProgress& progress,
                      const CheckedCallback& checked) {
    auto start = std::chrono::steady_clock::now();
    BuildReport report;
    const Description d = checkBeforeMaking(options.description, &report.diagnostics, checked);
    if (hasErrors(report.diagnostics)) {
        return report;
    }
    PackedQuiz packed = packQuiz(*makeQuiz(d));
    PlayerTemplate player = findPlayerTemplate(options.player, options.quizpackPath);
    report.player = player.origin;
    report.output = options.output.empty() ? defaultOutputPath(options.description, d.title, ".exe")
                                           : options.output;
    std::vector<CommandInput> inputs = descriptionInputs(options.description, d);
    inputs.push_back({player.file, tr("the player program")});
    inputs.push_back({options.quizpackPath, tr("quizpack itself")});
    refuseOutputOverInputs(report.output, inputs, options.readOnlyOutput);
    refuseReplacingOtherFile(report.output, tr("a quiz executable"), describeIfNotQuizExecutable,

                             options.readOnlyOutput);

    std::vector<Resource> add;
    add.push_back(quizResource(patchType(), kPackageResourceId, packed.package));
    add.push_back(quizResource(patchType(), kCodeTableResourceId, packed.codeTable));
    if (!packed.extras.empty()) {
        add.push_back(quizResource(patchType(), kGradingExtrasResourceId, packed.extras));
    }
    if (!noPictureErrors(prepareAllMedia(d, options, progress, &report, &add), &report.diagnostics,
                         checked)) {
        return report;
    }
    const std::vector<uint8_t> executable = rewritePlayer(player, add);
    writeFileAtomically(report.output, executable);

    report.built = true;
    report.questions = d.questions.size();
    report.mediaCount = d.media.size();
    report.packageBytes = packed.package.size();
    report.codeTableBytes = packed.codeTable.size();
    report.extrasBytes = packed.extras.size();
    report.executableBytes = executable.size();
    report.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return report;
}
