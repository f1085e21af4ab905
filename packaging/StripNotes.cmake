# Run by cpack on the staged tree, after CPACK_STRIP_FILES: strip leaves the compiler's
# .comment and the .note section, which only name the tools that built the programs.
file(GLOB_RECURSE programs LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/usr/bin/*"
     "${CPACK_TEMPORARY_DIRECTORY}/usr/libexec/*")
foreach(program ${programs})
  if(NOT IS_SYMLINK "${program}")
    execute_process(COMMAND objcopy --remove-section=.comment --remove-section=.note "${program}"
                    RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
      message(FATAL_ERROR "objcopy failed on ${program}")
    endif()
  endif()
endforeach()
