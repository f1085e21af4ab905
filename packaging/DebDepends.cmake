# Read by cpack for each generator: the Debian packages of the libraries the installed programs
# link, from dpkg-shlibdeps. CPack's own CPACK_DEBIAN_PACKAGE_SHLIBDEPS cannot be used: it picks
# the programs out of `file` run in the C locale, which writes the backup program's Korean file
# name in octal escapes, and dpkg-shlibdeps then cannot open it.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(work "${CPACK_PACKAGE_DIRECTORY}/_CPack_Packages/shlibdeps")
  file(MAKE_DIRECTORY "${work}/debian")
  file(WRITE "${work}/debian/control" "") # dpkg-shlibdeps wants to be in a source package
  execute_process(COMMAND dpkg-shlibdeps --ignore-missing-info -O ${MOBILESHOP_BINARIES}
                  WORKING_DIRECTORY "${work}" RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT result EQUAL 0 OR NOT output MATCHES "shlibs:Depends=")
    message(FATAL_ERROR "dpkg-shlibdeps failed (dpkg-dev installed?): ${errors}")
  endif()
  string(REGEX REPLACE ".*shlibs:Depends=" "" libraries "${output}")
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${libraries}, ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
endif()
