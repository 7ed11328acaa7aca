// quizpack's commands, in the order 'quizpack --help' lists them. A new command is one
// row here and its run function (declared in commands.h).
#include "quizpack/commands/command_shell.h"
#include "quizpack/commands/commands.h"
#include "quizpack/common/messages.h"

// clang-format off
const std::vector<Command> kCommands = {
    {"studio", "studio [DIR|QUIZ.toml] [--port N] [--no-browser]",
     N_("Make and edit quizzes in the browser, in French, with a live preview."),
     N_("Serves the quiz editor on this computer only (127.0.0.1) and opens it in the default\n"
     "browser. Its first line is the address, with the secret that lets only this\n"
     "computer's browser in: Studio: http://127.0.0.1:PORT/?token=TOKEN\n"
     "\n"
     "DIR: a folder of quizzes, listed with a button to start a new one of each kind (each\n"
     "new quiz gets a folder of its own); a folder holding quiz.toml, or a description\n"
     "QUIZ.toml, opens that quiz. Without DIR: the current folder. Every change is saved to\n"
     "the description within a second; what the studio writes is an ordinary description\n"
     "and media folder, which check, build, export and a text editor keep working on. The\n"
     "first time the studio rewrites a description it did not write (one with comments,\n"
     "say), it keeps the original as QUIZ.toml.orig. Its buttons build, export and write\n"
     "the answer key into the quiz's folder as build, export and key do without -o.\n"
     "\n"
     "--port N serves on port N instead of a free one; --no-browser only prints the address.\n"
     "It stops with Ctrl+C or the page's Quitter button. quizpack.exe double-clicked on\n"
     "Windows opens the studio on the folder Quizz of your Documents.\n"),
     {{"--port", true}, {"--no-browser", false}}, ArgumentStyle::Options, runStudio},

    {"new", "new KIND DIR [--csv]",
     N_("Start a quiz: a commented description and placeholder media in a new folder."),
     N_("Writes DIR/quiz.toml, a starter description of the kind KIND (text, picture, audio or\n"
     "video) with every key explained, and the media it names: numbered placeholder pictures\n"
     "(JPEG) for a picture quiz, one second of silence (MP3) for an audio quiz, a short\n"
     "numbered film (AVI) for a video quiz, each to be replaced by your own. It passes\n"
     "'quizpack check' and builds as it is. DIR must be new or empty: quizpack new never\n"
     "writes over a file.\n"
     "\n"
     "--csv puts the questions in DIR/questions.csv instead, one a row, ready for a\n"
     "spreadsheet (UTF-8, ';' between fields), and quiz.toml names it.\n"),
     {{"--csv", false}}, ArgumentStyle::Options, runNew},

    {"check", "check QUIZ.toml",
     N_("Validate a quiz description and report every problem with its line."),
     N_("Reads the description and every media file it names and reports every problem with\n"
     "its file, line and key. Exit code 0 when there is no error (warnings and notes\n"
     "allowed), 2 when there is one.\n"),
     {}, ArgumentStyle::Options, runCheck},

    {"build", "build QUIZ.toml [-o OUT.exe] [--player EXE] [--keep-pictures] [--force]",
     N_("Make a quiz executable from a description and its media."),
     N_("Checks the description and writes a quiz executable: a copy of the player program\n"
     "that carries the quiz package (its texts and codes) and the media (pictures and\n"
     "clips) of this quiz, and nothing of another. Without -o it is named after the quiz's\n"
     "title, beside QUIZ.toml: title = \"Capitales d'Europe\" gives Capitales-d-Europe.exe\n"
     "(QUIZ.exe when the title gives no name). The player keeps its answers in a file named\n"
     "after its own, so every quiz needs a name of its own. It is written under a temporary\n"
     "name and renamed at the end, so it is never left half-written. build never writes over\n"
     "what it reads (the description, its media, the player program), and replaces an\n"
     "existing file only when it is a quiz executable; another file (notes, another program)\n"
     "or a read-only one only with --force.\n"
     "\n"
     "Pictures larger than the 260x260 box the player shows them in are stored at the size\n"
     "it shows them; PNG pictures, which the player cannot show, are converted. Both become\n"
     "JPEG at quality 90, and a shrunk picture that would then take more bytes than its\n"
     "file (drawings saved as GIF or PNG often do) is encoded again at lower qualities, 5\n"
     "at a time, until it is no larger, but never below 75; each progress line says what\n"
     "was stored. Other pictures are stored as they are. --keep-pictures stores every\n"
     "picture the player can show as it is, whatever its size.\n"
     "\n"
     "The player program: --player EXE; else quizplayer.exe beside quizpack; else the one\n"
     "carried inside a Windows quizpack.exe; else the installed ../share/quizz/quizplayer.exe;\n"
     "else ../win64/quizplayer.exe of a build tree.\n"),
     {{"-o", true}, {"--player", true}, {"--keep-pictures", false}, {"--force", false}},
     ArgumentStyle::Options, runBuild},

    {"pack", "pack QUIZ.toml --package P --codes C [--extras X] [--force]",
     N_("Write the packed resources (quiz package, code table, accepted forms) as files."),
     N_("Checks the description, lays out the quiz package and the code table and packs them\n"
     "into the files P (\"PATCH\" 104) and C (\"PATCH\" 105). A quiz with accepted forms\n"
     "beyond the first, a [grading] table or its own link needs --extras X as well, the\n"
     "file of \"PATCH\" 106 (empty for a quiz without them). The files are replaced only\n"
     "when everything succeeded, and a read-only one only with --force. Media files are\n"
     "checked but not written.\n"),
     {{"--package", true}, {"--codes", true}, {"--extras", true}, {"--force", false}},
     ArgumentStyle::Options, runPack},

    {"inspect", "inspect QUIZ.exe | inspect --package P [--codes C] [--extras X]",
     N_("Print a quiz as a TOML description, with its media and their sizes."),
     N_("Prints the quiz as a TOML description (texts in UTF-8), with its \"IMG\" media listed\n"
     "as comments: resource identifier, format, picture size and bytes. Warnings (what the\n"
     "player would complain about, what a rebuild would not reproduce) go to stderr.\n"
     "Exit code 1 when the quiz package does not unpack, 2 when the file is no quiz or its\n"
     "package is malformed (what the player would load of it is printed all the same).\n"),
     {{"--package", true}, {"--codes", true}, {"--extras", true}}, ArgumentStyle::Options,
     runInspect},

    {"extract", "extract QUIZ.exe DIR [--force] [--csv]",
     N_("Write a description and its media files that rebuild the same quiz."),
     N_("Writes DIR/quiz.toml and the media files (DIR/media/q01.jpg, r01.jpg, q01.mp3, ...)\n"
     "so that 'quizpack build DIR/quiz.toml' makes the same quiz again: the same texts,\n"
     "codes and quiz package. DIR must be new or empty; --force writes into a folder that\n"
     "holds files, replacing files of the same names (read-only ones too), but never the\n"
     "executable being read.\n"
     "\n"
     "--csv writes the questions to DIR/questions.csv (UTF-8, ';' between fields, one\n"
     "question a row, for a spreadsheet) and quiz.toml names it with questions = \"...\".\n"),
     {{"--force", false}, {"--csv", false}}, ArgumentStyle::Options, runExtract},

    {"export", "export QUIZ.toml|QUIZ.exe [-o OUT.html] [--keep-pictures] [--force]",
     N_("Write the quiz as one self-contained web page that plays it in a browser."),
     N_("Writes the quiz as one web page that plays it in any current browser, offline: its\n"
     "texts, codes, pictures and clips, the player's own grader compiled to WebAssembly,\n"
     "the page's script and styles, all in OUT.html. It asks for nothing from any network\n"
     "and works opened straight from disk or served by any web host. The player's answers\n"
     "are kept in the browser, per quiz.\n"
     "\n"
     "QUIZ.toml is checked as build checks it; a quiz executable (QUIZ.exe) is read back as\n"
     "inspect reads it. Pictures are stored as build stores them (--keep-pictures as for\n"
     "build). AVI films, which browsers do not play, are converted to WebM with ffmpeg,\n"
     "which must then be on the PATH (Debian: apt-get install ffmpeg).\n"
     "Without -o the page is named after the quiz's title, as build names the executable,\n"
     "beside QUIZ.toml or QUIZ.exe. It is written under a temporary name and renamed at the\n"
     "end, so it is never left half-written. It may not be one of the quiz's own files; an\n"
     "existing file is replaced only when it is a page export wrote, another file or a\n"
     "read-only one only with --force.\n"),
     {{"-o", true}, {"--keep-pictures", false}, {"--force", false}}, ArgumentStyle::Options,
     runExport},

    {"key", "key QUIZ.toml|QUIZ.exe [-o KEY.html] [--force]",
     N_("Write the quiz's answer key for the teacher: one page to print."),
     N_("Writes one page that lists every question (its text, or a thumbnail of its picture),\n"
     "the answers the player accepts for it, and the code shown for each score, ready to\n"
     "print from any browser. It holds no script and asks for nothing from any network.\n"
     "QUIZ.toml is checked as build checks it; a quiz executable is read back as inspect\n"
     "reads it. Without -o the page is TITLE-corrige.html beside the quiz, named after its\n"
     "title as build names the executable. An existing file is replaced only when it is an\n"
     "answer key quizpack wrote; another file or a read-only one only with --force.\n"),
     {{"-o", true}, {"--force", false}}, ArgumentStyle::Options, runKey},

    {"grade", "grade EXPECTED TYPED | grade --tsv FILE|- | grade --quiz QUIZ --tsv FILE|-",
     N_("Grade typed answers against expected answers, or a quiz's fields, as the player does."),
     N_("Usage:\n"
     "  quizpack grade EXPECTED TYPED [--accents optional] [--case any] [--quotes any]\n"
     "  quizpack grade --tsv FILE [--accents optional] [--case any] [--quotes any]\n"
     "  quizpack grade --quiz QUIZ.toml|QUIZ.exe --tsv FILE\n"
     "  (FILE '-' reads standard input)\n"
     "\n"
     "Grades a typed answer against an expected answer exactly as the quiz player does\n"
     "and prints the verdict: BRAVO, Anagramme, Quasiment, Presque, Trop long,\n"
     "Trop court, pas loin, yade lid\xC3\xA9" "e, FAUX or ? (nothing typed).\n"
     "\n"
     "Texts are UTF-8 and are graded as Windows-1252, the player's character set; a\n"
     "character that Windows-1252 lacks is an error. Blanks around the typed text and\n"
     "the case of the letters a-z do not count; accents do (e and \xC3\xA9 differ). Only\n"
     "the first 259 characters of the typed text are graded, as in the player.\n"
     "\n"
     "EXPECTED may list accepted forms separated by '|', as a quiz's answers do:\n"
     "\"Charles de Gaulle | De Gaulle\" accepts either, blanks around each form left out;\n"
     "the verdict is the best any form gets. Each form holds at most 259 characters, and\n"
     "an answer has at most 8 forms. The tolerances of a quiz's [grading] table:\n"
     "  --accents optional   accented letters count as their base letter (e for \xC3\xA9,\n"
     "                       oe for \xC5\x93); implies --case any\n"
     "  --case any           accented small letters count as their capitals (\xC3\xA9 for \xC3\x89)\n"
     "  --quotes any         typographic quotes count as straight ones (\xE2\x80\x99 for ')\n"
     "\n"
     "--tsv reads one case a line, EXPECTED<TAB>TYPED (CRLF line ends and a UTF-8 BOM\n"
     "are accepted), and prints one verdict a line in the same order. A malformed line\n"
     "is reported on standard error with its line number and prints ERROR in its\n"
     "place, so the output keeps one line per input line; the other lines are still\n"
     "graded.\n"
     "\n"
     "--quiz grades against a quiz, a description or an executable: each line of --tsv\n"
     "is K<TAB>TYPED, K the answer field (1 to the number of fields, question by\n"
     "question, answer 1 before answer 2), graded with that field's accepted forms and\n"
     "the quiz's own [grading], as its player grades it. Try answers before sharing.\n"
     "\n"
     "Exit codes: 0 all graded, 2 a bad argument or at least one malformed line.\n"
     "Use '--' before EXPECTED if it begins with '--'.\n"),
     {}, ArgumentStyle::Texts, runGrade},

    {"encode", "encode IN OUT [--force]", N_("Pack a file into a raw LZW stream."),
     N_("Packs the file IN (1 to 65535 bytes) into a raw LZW stream and writes it to OUT, byte\n"
     "for byte as a \"PATCH\" resource holds it. OUT is replaced only when packing succeeded\n"
     "(a read-only OUT only with --force), and never when it is IN.\n"
     "The packed stream may be at most 80000 bytes: data that does not compress (random\n"
     "bytes, JPEG, MP3) fits only up to about 59000 bytes.\n"
     "Exit codes: 0 packed, 1 packing failed (the LZW result is named), 2 bad arguments or\n"
     "an input that cannot be read or is too large.\n"),
     {{"--force", false}}, ArgumentStyle::Options, runEncode},

    {"decode", "decode IN OUT [--force]", N_("Unpack a raw LZW stream."),
     N_("Unpacks the raw LZW stream in the file IN (at most 65535 bytes) and writes the bytes\n"
     "to OUT. Bytes after the stream's end code are ignored, as the player ignores them.\n"
     "OUT is replaced only when unpacking succeeded (a read-only OUT only with --force, and\n"
     "never when it is IN); a stream may unpack to at most 120000 bytes.\n"
     "Exit codes: 0 unpacked, 1 the stream is not valid (the LZW result is named), 2 bad\n"
     "arguments or an input that cannot be read or is too large.\n"),
     {{"--force", false}}, ArgumentStyle::Options, runDecode},
};
// clang-format on
