# What an author installs. The install() rules lay quizpack out under a prefix, and CPack
# makes the two downloads from them (cmake/make_dist.sh, run by ./quizz dist):
#   - the Linux build: quizz_VERSION_ARCH.deb, the tree `cmake --install` gives under /usr;
#   - the Windows build: quizz-VERSION-windows.zip, quizpack.exe at its top, nothing to
#     install and no administrator rights needed.
# Both carry the author's documentation and the sample quizzes.
include(GNUInstallDirs)

# The Linux quizpack finds the player program in this folder of its own prefix.
set(QUIZZ_PLAYER_INSTALL_DIR ${CMAKE_INSTALL_DATADIR}/quizz)
file(RELATIVE_PATH QUIZZ_INSTALLED_PLAYER /${CMAKE_INSTALL_BINDIR}
     /${QUIZZ_PLAYER_INSTALL_DIR}/quizplayer.exe)
target_compile_definitions(quizpack_executable PRIVATE
    QUIZZ_INSTALLED_PLAYER="${QUIZZ_INSTALLED_PLAYER}")

if(QUIZZ_SANITIZE)
    return() # the sanitizer build is for the tests only
endif()

# Folders made on the way get 0755 whatever the umask, as Debian wants them.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(QUIZZ_PACKAGE_FILES ${CMAKE_BINARY_DIR}/package-files)

# The documentation for authors and the samples, each sample a folder with its media.
function(quizz_install_author_files docs_dir samples_dir)
    install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION ${docs_dir}
            FILES_MATCHING PATTERN "*.md")
    install(DIRECTORY ${CMAKE_SOURCE_DIR}/samples/ DESTINATION ${samples_dir}
            PATTERN make_media.sh EXCLUDE)
endfunction()

set(CPACK_PACKAGE_NAME quizz)
set(CPACK_PACKAGE_VENDOR "The Quizz developers")
set(CPACK_PACKAGE_CONTACT
    "Quizz maintainers <maintainers@users.noreply.c-seed-2505d584.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "authoring tool for stand-alone quiz programs for Windows")

if(WIN32)
    install(TARGETS quizpack RUNTIME DESTINATION .)
    quizz_install_author_files(docs samples)
    # For Notepad: Windows line ends, and UTF-8 that opens with a byte order mark, or it
    # may take the accents for another character set.
    set(lisezmoi ${CMAKE_SOURCE_DIR}/docs/LISEZMOI.txt.in)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${lisezmoi})
    file(READ ${lisezmoi} text)
    string(ASCII 239 187 191 utf8_bom)
    file(CONFIGURE OUTPUT ${QUIZZ_PACKAGE_FILES}/LISEZMOI.txt CONTENT "${utf8_bom}${text}"
         @ONLY NEWLINE_STYLE CRLF)
    install(FILES ${QUIZZ_PACKAGE_FILES}/LISEZMOI.txt DESTINATION .)
    install(FILES ${CMAKE_SOURCE_DIR}/docs/copyright DESTINATION . RENAME copyright.txt)

    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME quizz-${PROJECT_VERSION}-windows)
else()
    set(QUIZZ_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quizz)
    install(TARGETS quizpack RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    # The player that build copies, from the Windows build, which is made after this one.
    set(QUIZZ_WINDOWS_PLAYER ${CMAKE_SOURCE_DIR}/build/win64/quizplayer.exe CACHE FILEPATH
        "The player program the installed quizpack builds quizzes into")
    install(FILES ${QUIZZ_WINDOWS_PLAYER} DESTINATION ${QUIZZ_PLAYER_INSTALL_DIR})
    quizz_install_author_files(${QUIZZ_DOC_DIR} ${QUIZZ_DOC_DIR}/samples)
    install(FILES ${CMAKE_SOURCE_DIR}/docs/copyright DESTINATION ${QUIZZ_DOC_DIR})

    # The manual page and the changelog, compressed as Debian keeps them (gzip -9, no time
    # stamp in the header).
    configure_file(${CMAKE_SOURCE_DIR}/docs/quizpack.1.in ${QUIZZ_PACKAGE_FILES}/quizpack.1 @ONLY)
    configure_file(${CMAKE_CURRENT_LIST_DIR}/debian_changelog.in ${QUIZZ_PACKAGE_FILES}/changelog
                   @ONLY)
    set(compressed)
    foreach(name quizpack.1 changelog)
        set(gz ${QUIZZ_PACKAGE_FILES}/${name}.gz)
        add_custom_command(OUTPUT ${gz}
            COMMAND gzip -9nc ${QUIZZ_PACKAGE_FILES}/${name} > ${gz}
            DEPENDS ${QUIZZ_PACKAGE_FILES}/${name})
        list(APPEND compressed ${gz})
    endforeach()
    add_custom_target(package_files ALL DEPENDS ${compressed})
    install(FILES ${QUIZZ_PACKAGE_FILES}/quizpack.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${QUIZZ_PACKAGE_FILES}/changelog.gz DESTINATION ${QUIZZ_DOC_DIR})
    # The studio from the desktop's menu, on the folder Quizz of the author's home (made if
    # missing), in a terminal that shows its address and stops it when closed.
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/quizz-studio.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_STRIP_FILES ON)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION education)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON) # what the binary links, by dpkg-shlibdeps
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ffmpeg) # export converts a video quiz's films with it
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
    set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
    # The extended description, under the summary's synopsis line.
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
        "Quizz is a quiz player for Windows: one executable carries one whole
quiz (its texts, score codes, pictures, sounds and films) and grades
every typed answer as soon as it is entered.
.
quizpack, the authoring tool, checks a quiz written as a TOML
description, builds it into such an executable or exports it as one
offline web page that plays it in any current browser, and reads
existing quiz executables back.")
endif()

include(CPack)
