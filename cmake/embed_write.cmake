# Writes OUTPUT: a function FUNCTION returning PREFIX + the bytes of INPUT (see embed.cmake).
string(REPLACE "\\" "\\\\" input "${INPUT}")
string(REPLACE "\"" "\\\"" input "${input}")
set(label "zarkel_embedded_${FUNCTION}")
file(WRITE "${OUTPUT}" "// Generated from ${INPUT}; do not edit.
#include <cstddef>
#include <string_view>

asm(R\"(
    .section .rodata
    .balign 16
    .globl ${label}
    .hidden ${label}
${label}:
    .ascii \"${PREFIX}\"
    .incbin \"${input}\"
${label}_end:
    .balign 8
    .globl ${label}_size
    .hidden ${label}_size
${label}_size:
    .quad ${label}_end - ${label}
    .previous
)\");

extern \"C\" const char ${label}[];
extern \"C\" const std::size_t ${label}_size;

std::string_view ${FUNCTION}() { return {${label}, ${label}_size}; }
")
