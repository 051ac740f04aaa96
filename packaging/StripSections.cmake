# Run by CPack before it packs: drops the compiler's .comment and the bare .note section from the
# programs, as Debian's own packaging tools do after stripping.
find_program(OBJCOPY objcopy REQUIRED)
file(GLOB_RECURSE programs LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/bin/*")
foreach(program ${programs})
    if(NOT IS_SYMLINK "${program}")
        execute_process(COMMAND ${OBJCOPY} --remove-section=.comment --remove-section=.note
                                "${program}" COMMAND_ERROR_IS_FATAL ANY)
    endif()
endforeach()
