# embed_file(<target> <symbol> <file> [DEPENDS <target>...])
# Links the bytes of <file> into <target> as <symbol>_begin / <symbol>_end; the program reads them with
# PLATFORM_EMBEDDED_FILE(<symbol>) of platform/EmbeddedFile.h.
function(embed_file target symbol file)
    cmake_parse_arguments(EMBED "" "" "DEPENDS" ${ARGN})
    set(asm "${CMAKE_CURRENT_BINARY_DIR}/embed_${symbol}.S")
    file(WRITE "${asm}" "\
    .section .rodata.${symbol},\"a\"
    .global ${symbol}_begin
    .global ${symbol}_end
    .balign 16
${symbol}_begin:
    .incbin \"${file}\"
${symbol}_end:
    .byte 0
    .section .note.GNU-stack,\"\",@progbits
")
    set_source_files_properties("${asm}" PROPERTIES OBJECT_DEPENDS "${file}")
    target_sources(${target} PRIVATE "${asm}")
    if(EMBED_DEPENDS)
        add_dependencies(${target} ${EMBED_DEPENDS})
    endif()
endfunction()
