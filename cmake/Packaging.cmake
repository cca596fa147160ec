# Packaging: the archives and installers CPack makes from the install rules, so that whatever the
# project installs is released too: .tar.gz and .deb on Linux, .zip and an NSIS installer on Windows.
set(TARNASM_HOMEPAGE "https://git.example.org/tarnasm/tarnasm" CACHE STRING
    "The project's address, named in the packages' metadata")
set(TARNASM_MAINTAINER "tarnasm maintainers <maintainers@tarnasm.example.org>" CACHE STRING
    "Who answers for the packages, named in their metadata")

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

# What each release changed is written once, in CHANGELOG.md; the .deb's changelog and the release
# notes (release-notes.md in the build folder, copied into dist/) are made from it.
include(${PROJECT_SOURCE_DIR}/cmake/Changelog.cmake)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
tarnasm_write_release_notes(${PROJECT_SOURCE_DIR}/CHANGELOG.md ${PROJECT_BINARY_DIR}/release-notes.md)

# What only the .deb carries (its copyright, changelog and lintian overrides), added by a script that
# CPack runs for each package it makes.
if(NOT WIN32)
  set(tarnasm_debian_dir ${PROJECT_BINARY_DIR}/debian)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/dist/copyright.in ${tarnasm_debian_dir}/copyright @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/dist/lintian-overrides ${tarnasm_debian_dir}/tarnasm COPYONLY)
  tarnasm_write_debian_changelog(${PROJECT_SOURCE_DIR}/CHANGELOG.md ${tarnasm_debian_dir}/changelog
                                 "${TARNASM_MAINTAINER}")
  find_program(TARNASM_GZIP gzip)
  if(TARNASM_GZIP)
    execute_process(COMMAND ${TARNASM_GZIP} -9nf ${tarnasm_debian_dir}/changelog)
  endif()
  set(CPACK_TARNASM_DEBIAN_DIR ${tarnasm_debian_dir})
  set(CPACK_TARNASM_DOCDIR ${CMAKE_INSTALL_DOCDIR})
  set(CPACK_INSTALL_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/dist/DebianFiles.cmake)
endif()

set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME tarnasm)
set(CPACK_PACKAGE_VENDOR "tarnasm")
set(CPACK_PACKAGE_CONTACT "${TARNASM_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL "${TARNASM_HOMEPAGE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Assembler for the Tarn sequencer")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${PROJECT_SOURCE_DIR}/cmake/dist/description.txt)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_INSTALL_DIRECTORY tarnasm)
if(WIN32)
  set(CPACK_SYSTEM_NAME win64)
  set(CPACK_GENERATOR ZIP NSIS)
else()
  set(CPACK_SYSTEM_NAME linux-${CMAKE_SYSTEM_PROCESSOR})
  set(CPACK_GENERATOR TGZ DEB)
endif()
set(CPACK_PACKAGE_FILE_NAME tarnasm-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/dist/CPackProjectConfig.cmake)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# libtarnasm.so.1 for the C interface's hosts: its shlibs file, and the trigger that has ldconfig
# see it (CPack writes only the older postinst call).
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/cmake/dist/triggers)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

set(CPACK_NSIS_PACKAGE_NAME "tarnasm ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "tarnasm ${PROJECT_VERSION}")
# A 64-bit installer for 64-bit tools: it runs where 32-bit programs cannot (a 64-bit-only Wine), and
# installs into Program Files, not Program Files (x86).
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_URL_INFO_ABOUT "${TARNASM_HOMEPAGE}")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# The installer puts bin\ on PATH itself: CPack's own option adds it only when the user ticks a box,
# which a silent install (/S) never does. The uninstaller always takes it off PATH again, for all
# users if the value recorded here says so.
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS [[
  StrCmp $SV_ALLUSERS "AllUsers" 0 +2
    StrCpy $ADD_TO_PATH_ALL_USERS "1"
  Push "AddToPathAllUsers"
  Push "$ADD_TO_PATH_ALL_USERS"
  Call ConditionalAddToRegistry
  Push "$INSTDIR\bin"
  Call AddToPath
]])

include(CPack)
