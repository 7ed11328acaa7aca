# Packs the built-in sample quiz (samples/text) into ${SAMPLE_DIR}/sample_package.lzw and
# sample_codes.lzw with the host build's quizpack.
set(SAMPLE_DESCRIPTION ${CMAKE_SOURCE_DIR}/samples/text/quiz.toml)
add_custom_command(
    OUTPUT ${SAMPLE_DIR}/sample_package.lzw ${SAMPLE_DIR}/sample_codes.lzw
    COMMAND ${CMAKE_COMMAND} -E make_directory ${SAMPLE_DIR}
    COMMAND ${QUIZPACK_EXECUTABLE} pack ${SAMPLE_DESCRIPTION}
            --package ${SAMPLE_DIR}/sample_package.lzw --codes ${SAMPLE_DIR}/sample_codes.lzw
    DEPENDS ${SAMPLE_DESCRIPTION} ${QUIZPACK_EXECUTABLE}
    COMMENT "Packing the sample quiz")
add_custom_target(sample_quiz DEPENDS ${SAMPLE_DIR}/sample_package.lzw ${SAMPLE_DIR}/sample_codes.lzw)
