# Packaging: the archives and installers CPack makes from the install rules, so that whatever the
# project installs is released too: .tar.gz and .deb on Linux, .zip and an NSIS installer on Windows.
set(TARNASM_HOMEPAGE "https://git.example.org/tarnasm/tarnasm" CACHE STRING
    "The project's address, named in the packages' metadata")
set(TARNASM_MAINTAINER "tarnasm maintainers <maintainers@tarnasm.example.org>" CACHE STRING
    "Who answers for the packages, named in their metadata")

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
if(NOT WIN32)
  # Debian's place for the licence; the full text stays in LICENSE beside it.
  configure_file(${PROJECT_SOURCE_DIR}/cmake/dist/copyright.in ${PROJECT_BINARY_DIR}/copyright @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME tarnasm)
set(CPACK_PACKAGE_VENDOR "tarnasm")
set(CPACK_PACKAGE_CONTACT "${TARNASM_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL "${TARNASM_HOMEPAGE}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Assembler for the Tarn sequencer")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${PROJECT_SOURCE_DIR}/cmake/dist/description.txt)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_CHECKSUM "")
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

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_LICENSE Apache-2.0)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

# The installer puts bin\ on PATH itself: CPack's own option adds it only when the user ticks a box,
# which a silent install (/S) never does. The uninstaller always takes it off PATH again, for all
# users if the value recorded here says so.
set(CPACK_NSIS_PACKAGE_NAME "tarnasm ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "tarnasm ${PROJECT_VERSION}")
# 64-bit tools: Program Files, not Program Files (x86).
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_URL_INFO_ABOUT "${TARNASM_HOMEPAGE}")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
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
