# What `cmake --install` puts under the prefix: the library and the SDL platform as static
# libraries, the public headers under include/lodestar/, the archive tool, a CMake package
# (find_package(lodestar CONFIG): lodestar::lodestar, lodestar::sdl) and a pkg-config file.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(LSR_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/lodestar)

install(TARGETS lodestar lodestar_sdl_platform lodestar_sdl EXPORT lodestar-targets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS tarnpack RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The public headers only, each under its module's folder; the seam and internal/ stay behind.
# Their names go to public_headers.txt as well, for the test that installs the package.
get_property(modules GLOBAL PROPERTY LSR_MODULES)
set(LSR_PUBLIC_HEADERS "")
foreach(module IN LISTS modules)
  get_property(names GLOBAL PROPERTY LSR_MODULE_${module}_PUBLIC)
  get_property(files GLOBAL PROPERTY LSR_MODULE_${module}_PUBLIC_FILES)
  foreach(name file IN ZIP_LISTS names files)
    cmake_path(GET name PARENT_PATH folder)
    install(FILES ${file} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${folder})
    list(APPEND LSR_PUBLIC_HEADERS ${name})
  endforeach()
endforeach()
list(SORT LSR_PUBLIC_HEADERS)
list(JOIN LSR_PUBLIC_HEADERS "\n" lines)
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/public_headers.txt CONTENT "${lines}\n")

install(EXPORT lodestar-targets NAMESPACE lodestar:: DESTINATION ${LSR_PACKAGE_DIR}
        FILE lodestarTargets.cmake)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/lodestarConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/lodestarConfig.cmake
                              INSTALL_DESTINATION ${LSR_PACKAGE_DIR})
# Before 1.0 a minor version may break what the one before it offered.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/lodestarConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/lodestarConfig.cmake
              ${PROJECT_BINARY_DIR}/lodestarConfigVersion.cmake
        DESTINATION ${LSR_PACKAGE_DIR})

# The pkg-config file finds its prefix from where it lies, so it holds wherever the tree is
# installed or moved (`cmake --install --prefix` chooses the prefix after configuring).
set(LSR_PKGCONFIG_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH LSR_PKGCONFIG_TO_PREFIX /${LSR_PKGCONFIG_DIR} /)
string(REGEX REPLACE "/$" "" LSR_PKGCONFIG_TO_PREFIX ${LSR_PKGCONFIG_TO_PREFIX})
configure_file(${CMAKE_CURRENT_LIST_DIR}/lodestar.pc.in ${PROJECT_BINARY_DIR}/lodestar.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/lodestar.pc DESTINATION ${LSR_PKGCONFIG_DIR})
