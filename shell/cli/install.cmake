# Installing the native program where GNUInstallDirs puts a system's files:
# the program in bin/, its man page in share/man/man1/, its bash completion
# in share/bash-completion/completions/ and its licence in
# share/doc/sorbelin/copyright. CPack packs the same files as a .deb on Linux
# (a .tar.gz elsewhere):
#   cmake --install BUILD [--prefix DIR]
#   cmake --build BUILD --target package    # sorbelin_VERSION_ARCH.deb

install(TARGETS sorbelin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The man page gets the project's version, and is installed compressed, as
# Debian keeps its man pages (-n: no name or time stamp inside, so the same
# page gives the same bytes).
configure_file(${PROJECT_SOURCE_DIR}/resources/sorbelin.1.in ${PROJECT_BINARY_DIR}/sorbelin.1 @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/sorbelin.1.gz
  COMMAND gzip -9nkf sorbelin.1
  DEPENDS ${PROJECT_BINARY_DIR}/sorbelin.1
  WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
  VERBATIM)
add_custom_target(sorbelin_manpage ALL DEPENDS ${PROJECT_BINARY_DIR}/sorbelin.1.gz)
install(FILES ${PROJECT_BINARY_DIR}/sorbelin.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${PROJECT_SOURCE_DIR}/shell/cli/completion.bash
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME sorbelin)

# The licence, as Debian's copyright file (machine-readable format, where
# MIT's licence is called Expat): the holder and the notice are taken from
# LICENSE, the notice's lines indented and its empty lines written ".".
set(sorbelin_license_file ${PROJECT_SOURCE_DIR}/LICENSE)
file(READ ${sorbelin_license_file} sorbelin_license)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" sorbelin_match "${sorbelin_license}")
set(SORBELIN_COPYRIGHT ${CMAKE_MATCH_1})
string(FIND "${sorbelin_license}" "Permission is hereby granted" sorbelin_notice)
string(SUBSTRING "${sorbelin_license}" ${sorbelin_notice} -1 sorbelin_license)
string(STRIP "${sorbelin_license}" sorbelin_license)
string(REPLACE "\n\n" "\n.\n" sorbelin_license "${sorbelin_license}")
string(REPLACE "\n" "\n " SORBELIN_LICENSE_TEXT " ${sorbelin_license}")
configure_file(${PROJECT_SOURCE_DIR}/resources/copyright.in ${PROJECT_BINARY_DIR}/copyright @ONLY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${sorbelin_license_file})
install(FILES ${PROJECT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The package: sorbelin_1.40_amd64.deb on an amd64 Debian. The program links
# its C++ run-time statically, so dpkg-shlibdeps (package dpkg-dev) finds
# the C library as its one dependency.
set(SORBELIN_MAINTAINER "Sorbelin maintainers <maintainers@users.noreply.c-seed-95aa9641.example>"
  CACHE STRING "The maintainer named in the .deb")
if(CMAKE_SYSTEM_NAME STREQUAL Linux)
  set(CPACK_GENERATOR DEB)
else()
  set(CPACK_GENERATOR TGZ)
endif()
set(CPACK_PACKAGE_CONTACT ${SORBELIN_MAINTAINER})
# The summary is the project's DESCRIPTION. The long description is read
# here: CPack would spell the apostrophes of a CPACK_PACKAGE_DESCRIPTION_FILE
# as "&apos;".
set(sorbelin_description_file ${PROJECT_SOURCE_DIR}/resources/package-description.txt)
file(READ ${sorbelin_description_file} CPACK_DEBIAN_PACKAGE_DESCRIPTION)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${sorbelin_description_file})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
