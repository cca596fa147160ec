# Install: the library, its public headers, a CMake package and a pkg-config file.
include(CMakePackageConfigHelpers)

install(TARGETS tarnasm_lib EXPORT tarnasmTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/tarnasm DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(tarnasm_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/tarnasm)
install(EXPORT tarnasmTargets NAMESPACE tarnasm:: DESTINATION ${tarnasm_cmake_dir})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/tarnasmConfig.cmake.in
  ${PROJECT_BINARY_DIR}/tarnasmConfig.cmake INSTALL_DESTINATION ${tarnasm_cmake_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/tarnasmConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/tarnasmConfig.cmake ${PROJECT_BINARY_DIR}/tarnasmConfigVersion.cmake
  DESTINATION ${tarnasm_cmake_dir})

# The prefix is found from the file's own place, so the package can be installed anywhere.
file(RELATIVE_PATH tarnasm_pc_to_prefix /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
configure_file(${PROJECT_SOURCE_DIR}/cmake/tarnasm.pc.in ${PROJECT_BINARY_DIR}/tarnasm.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/tarnasm.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
