# Every sample quiz of samples/ made into its own executable, <build>/samples/<name>.exe, by
# the host build's quizpack from the player just built: what an author would hand out.
file(GLOB SAMPLE_DESCRIPTIONS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/samples/*/quiz.toml)
set(SAMPLE_EXECUTABLES)
foreach(description ${SAMPLE_DESCRIPTIONS})
    get_filename_component(sample_dir ${description} DIRECTORY)
    get_filename_component(sample_name ${sample_dir} NAME)
    file(GLOB sample_media CONFIGURE_DEPENDS ${sample_dir}/media/*)
    set(sample_exe ${CMAKE_BINARY_DIR}/samples/${sample_name}.exe)
    add_custom_command(
        OUTPUT ${sample_exe}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/samples
        COMMAND ${QUIZPACK_EXECUTABLE} build ${description} -o ${sample_exe}
                --player $<TARGET_FILE:quizplayer> > ${CMAKE_BINARY_DIR}/samples/${sample_name}.log
        DEPENDS ${description} ${sample_media} quizplayer ${QUIZPACK_EXECUTABLE}
        COMMENT "Building the ${sample_name} sample quiz")
    list(APPEND SAMPLE_EXECUTABLES ${sample_exe})
endforeach()
add_custom_target(sample_executables ALL DEPENDS ${SAMPLE_EXECUTABLES})
