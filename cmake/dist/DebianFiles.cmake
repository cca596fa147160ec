# Run by CPack for each package: adds the files only Debian's package holds, under the .deb's prefix.
if(CPACK_GENERATOR STREQUAL "DEB")
  file(INSTALL ${CPACK_TARNASM_DEBIAN_DIR}/copyright ${CPACK_TARNASM_DEBIAN_DIR}/changelog.gz
       DESTINATION /usr/${CPACK_TARNASM_DOCDIR})
  file(INSTALL ${CPACK_TARNASM_DEBIAN_DIR}/tarnasm DESTINATION /usr/share/lintian/overrides)
endif()
