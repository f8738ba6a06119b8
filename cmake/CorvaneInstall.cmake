# cmake --install: the two libraries, their public headers (flat, under include/corvane), the command-line
# tool, a CMake package (find_package(CorvaneXHTML) gives CorvaneXHTML::corvane_core and ::corvane_wmf)
# and a pkg-config file.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# Consumers write #include <corvane/CorvaneXHTML.h>; the bare "CorvaneXHTML.h" of earlier releases still resolves.
set(CORVANE_INSTALL_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR}/corvane)
target_include_directories(corvane_core PUBLIC $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>
                                               $<INSTALL_INTERFACE:${CORVANE_INSTALL_INCLUDEDIR}>)

file(GLOB CORVANE_PUBLIC_HEADERS converter/pipeline/*.h converter/reader/*.h converter/document/*.h
     converter/translators/*.h converter/pictures/*.h converter/pictures/wmf/*.h converter/core/*.h)
install(FILES ${CORVANE_PUBLIC_HEADERS} DESTINATION ${CORVANE_INSTALL_INCLUDEDIR})

# corvane_warnings only carries build flags; a static library's private links still travel with the export.
install(TARGETS corvane_core corvane_wmf corvane_warnings EXPORT CorvaneXHTMLTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(TARGETS corvane-xhtml RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(CORVANE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/CorvaneXHTML)
install(EXPORT CorvaneXHTMLTargets NAMESPACE CorvaneXHTML:: DESTINATION ${CORVANE_CMAKE_DIR})
configure_package_config_file(cmake/CorvaneXHTMLConfig.cmake.in
                              ${CMAKE_CURRENT_BINARY_DIR}/CorvaneXHTMLConfig.cmake
                              INSTALL_DESTINATION ${CORVANE_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/CorvaneXHTMLConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/CorvaneXHTMLConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/CorvaneXHTMLConfigVersion.cmake
        DESTINATION ${CORVANE_CMAKE_DIR})

# The Python package goes where the interpreter looks for packages under the prefix: Debian's reads
# PREFIX/lib/python3.X/dist-packages (for /usr/local), others PREFIX/lib/python3.X/site-packages.
if(CORVANE_PYTHON)
  execute_process(COMMAND ${Python_EXECUTABLE} -c
                  "import sys; print('dist-packages' if any(p.endswith('dist-packages') for p in sys.path) else 'site-packages')"
                  OUTPUT_VARIABLE CORVANE_PYTHON_PACKAGES OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(CORVANE_PYTHON_INSTALL_DIR
      lib/python${Python_VERSION_MAJOR}.${Python_VERSION_MINOR}/${CORVANE_PYTHON_PACKAGES}
      CACHE PATH "Where cmake --install puts the Python package, under the prefix unless absolute")
endif()

file(RELATIVE_PATH CORVANE_PC_TO_PREFIX "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
configure_file(cmake/corvanexhtml.pc.in ${CMAKE_CURRENT_BINARY_DIR}/corvanexhtml.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/corvanexhtml.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
