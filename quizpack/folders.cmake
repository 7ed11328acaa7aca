# quizpack's folders, one kind of work each, and the folders each may include. The folders
# depend one way: nothing here includes a folder that includes it back.
#
#   common       nothing of quizpack: file output and its guard, input limits, diagnostics,
#                Windows-1252, the error type, external programs, name hints
#   fit          common: whether a text fits the player's controls
#   media        common: pictures, media formats, starter media, parallel preparation
#   description  common, fit, media: reading, screening, checking and writing descriptions
#   executable   common, description, media: PE images, resources, packing, build, extract
#   page         common, description, executable, media: the exported web page
#   studio       common, description, executable, media, page: the editor in the browser,
#                its server and the editor's page (studio/editor/, embedded at build time)
#   commands     every other folder: the shell, its commands and main
set(QUIZPACK_FOLDERS common fit media description executable page studio commands)
set(QUIZPACK_USES_common "")
set(QUIZPACK_USES_fit common)
set(QUIZPACK_USES_media common)
set(QUIZPACK_USES_description common fit media)
set(QUIZPACK_USES_executable common description media)
set(QUIZPACK_USES_page common description executable media)
set(QUIZPACK_USES_studio common description executable media page)
set(QUIZPACK_USES_commands common fit media description executable page studio)
# A folder that grows past this many files is split by kind of work.
set(QUIZPACK_MAX_FILES_PER_FOLDER 24)
