# zarkel_embed(OUTPUT cpp FUNCTION name INPUT file [PREFIX text] [DEPENDS ...]): generates a
# source file whose function `std::string_view name()` returns PREFIX followed by the bytes
# of INPUT, built into the binary with the assembler's .incbin. The file is generated again
# whenever INPUT or a DEPENDS item changes, so the object is rebuilt with the new bytes.
function(zarkel_embed)
  cmake_parse_arguments(ARG "" "OUTPUT;FUNCTION;INPUT;PREFIX" "DEPENDS" ${ARGN})
  add_custom_command(
    OUTPUT ${ARG_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -DOUTPUT=${ARG_OUTPUT} -DFUNCTION=${ARG_FUNCTION}
            -DINPUT=${ARG_INPUT} -DPREFIX=${ARG_PREFIX}
            -P ${PROJECT_SOURCE_DIR}/cmake/embed_write.cmake
    DEPENDS ${ARG_DEPENDS} ${PROJECT_SOURCE_DIR}/cmake/embed_write.cmake
    COMMENT "Embedding ${ARG_FUNCTION}"
    VERBATIM)
endfunction()
