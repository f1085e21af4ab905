# Compiler and linker flags every target of the project links (mobileshop_flags), so that
# the options below change all of them and nothing else (not Qt's or a fetched project's).
add_library(mobileshop_flags INTERFACE)
target_compile_definitions(mobileshop_flags INTERFACE PRODUCT_VARIANT_${PRODUCT_VARIANT})

if(MSVC)
  # The sources are UTF-8 and hold Korean literals; without /utf-8 they are read as the
  # machine's code page.
  target_compile_options(mobileshop_flags INTERFACE /utf-8 /W4 /permissive- $<$<BOOL:${WARNINGS_AS_ERRORS}>:/WX>)
else()
  target_compile_options(mobileshop_flags INTERFACE -Wall -Wextra $<$<BOOL:${WARNINGS_AS_ERRORS}>:-Werror>)
endif()

# The hardening Debian's dpkg-buildflags gives with hardening=+all, in every optimised build, so
# that the tested programs are the packaged ones. Fortify needs the optimiser.
option(HARDENING "Stack protector, fortified calls, full RELRO and immediate binding" ON)
if(HARDENING AND NOT MSVC AND NOT SANITIZE AND NOT FUZZ AND NOT COVERAGE)
  target_compile_options(mobileshop_flags INTERFACE -fstack-protector-strong -Wformat -Werror=format-security
                         $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=2>)
  target_link_options(mobileshop_flags INTERFACE LINKER:-z,relro,-z,now)
endif()
# No folder of the machine that built it in the programs (file names in messages, debug info);
# coverage needs the real paths to find the sources again.
if(NOT MSVC AND NOT COVERAGE)
  target_compile_options(mobileshop_flags INTERFACE -ffile-prefix-map=${CMAKE_SOURCE_DIR}=.
                         -ffile-prefix-map=${CMAKE_BINARY_DIR}=.)
endif()

if(SANITIZE OR FUZZ)
  if(MSVC)
    target_compile_options(mobileshop_flags INTERFACE /fsanitize=address)
  else()
    # Everything is instrumented; with FUZZ only the harnesses link libFuzzer's main.
    target_compile_options(mobileshop_flags INTERFACE -fsanitize=address,undefined
                           $<$<BOOL:${FUZZ}>:-fsanitize=fuzzer-no-link> -fno-sanitize-recover=undefined
                           -fno-omit-frame-pointer)
    target_link_options(mobileshop_flags INTERFACE -fsanitize=address,undefined)
  endif()
endif()

if(COVERAGE)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    message(FATAL_ERROR "COVERAGE needs gcc (gcov data for gcovr)")
  endif()
  target_compile_options(mobileshop_flags INTERFACE --coverage)
  target_link_options(mobileshop_flags INTERFACE --coverage)
endif()

# Fails the configure when a compiled target of dir or below does not link mobileshop_flags:
# it would build without the warnings, the sanitizers or coverage and nobody would notice.
function(mobileshop_require_flags dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    # Qt's resource object libraries hold only generated data.
    if(target MATCHES "_resources_[0-9]+$")
      continue()
    endif()
    get_target_property(type ${target} TYPE)
    if(type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
      get_target_property(libraries ${target} LINK_LIBRARIES)
      if(NOT "mobileshop_flags" IN_LIST libraries)
        message(FATAL_ERROR "${target} (${dir}) does not link mobileshop_flags")
      endif()
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(subdir ${subdirs})
    mobileshop_require_flags(${subdir})
  endforeach()
endfunction()
