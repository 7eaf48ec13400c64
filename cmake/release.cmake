# The release build (WIRLO_RELEASE; scripts/release.sh makes the release with
# it): the product's files as they are handed out, the same bytes from the same
# sources in any folder at any time.
#
# - No build path in any file: the source and build folders are mapped away in
#   everything the compilers record (__FILE__, debug information), and the
#   executables are stripped (the web build carries no debug information in
#   an optimised build). The Windows builds write no time stamp
#   (cmake/platforms/win.cmake).
# - release/bundle.list names the files of the platform's download: its file
#   name on the first line, then one entry name and path per line, in the
#   order they go into the archive (scripts/release-zip.py). Windows: the
#   demo's executable, README.txt and LICENSE.txt (Windows line ends); the web:
#   the demo's page with its script and WebAssembly.
# - Natively, the Debian package (CPack): the demo as /usr/games/wirlo, its
#   desktop entry and the licence as the package's copyright file. Dates in
#   archives come from SOURCE_DATE_EPOCH, which release.sh sets to the time of
#   the last commit.

add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/= -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
if(NOT WIRLO_PLATFORM STREQUAL "web")
  add_link_options(-s)
endif()

set(WIRLO_RELEASE_DIR ${CMAKE_BINARY_DIR}/release)
set(WIRLO_PRODUCT wirlo_demo)

if(WIRLO_PLATFORM STREQUAL "win")
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86|i.86)$")
    set(kind win32)
  else()
    set(kind win64)
  endif()
  configure_file(${CMAKE_SOURCE_DIR}/cmake/release/README-windows.txt.in ${WIRLO_RELEASE_DIR}/README.txt
                 @ONLY NEWLINE_STYLE CRLF)
  configure_file(${CMAKE_SOURCE_DIR}/LICENSE ${WIRLO_RELEASE_DIR}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
  file(GENERATE OUTPUT ${WIRLO_RELEASE_DIR}/bundle.list CONTENT
"${PROJECT_NAME}-${PROJECT_VERSION}-${kind}.zip
$<TARGET_FILE_NAME:${WIRLO_PRODUCT}> $<TARGET_FILE:${WIRLO_PRODUCT}>
README.txt ${WIRLO_RELEASE_DIR}/README.txt
LICENSE.txt ${WIRLO_RELEASE_DIR}/LICENSE.txt
")
elseif(WIRLO_PLATFORM STREQUAL "web")
  # The page loads NAME.js, which loads NAME.wasm, side by side.
  set(page $<TARGET_PROPERTY:${WIRLO_PRODUCT},WIRLO_PAGE>)
  set(script $<TARGET_FILE:${WIRLO_PRODUCT}>)
  set(wasm $<TARGET_FILE_DIR:${WIRLO_PRODUCT}>/$<TARGET_FILE_BASE_NAME:${WIRLO_PRODUCT}>.wasm)
  file(GENERATE OUTPUT ${WIRLO_RELEASE_DIR}/bundle.list CONTENT
"${PROJECT_NAME}-${PROJECT_VERSION}-web.zip
${page} ${CMAKE_BINARY_DIR}/${page}
$<TARGET_FILE_NAME:${WIRLO_PRODUCT}> ${script}
$<TARGET_FILE_BASE_NAME:${WIRLO_PRODUCT}>.wasm ${wasm}
")
else()
  # Directories in the package get 0755 whatever the umask of the build.
  set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
      OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  install(PROGRAMS $<TARGET_FILE:${WIRLO_PRODUCT}> DESTINATION games RENAME wirlo)
  # Installing (CPack) takes the demo release.sh built, without building the
  # other programs first.
  set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/release/wirlo.desktop.in ${WIRLO_RELEASE_DIR}/wirlo.desktop @ONLY)
  install(FILES ${WIRLO_RELEASE_DIR}/wirlo.desktop DESTINATION share/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION share/doc/wirlo RENAME copyright)

  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME wirlo)
  set(CPACK_PACKAGE_VENDOR "the ${PROJECT_NAME} authors")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "spiral feedback graphics demo")
  # The long description in lines of at most 80 columns, as Debian wants it.
  string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Wirlo opens an 800x600 window and runs a spiral feedback effect in it until"
    "Escape, the close box, Ctrl+C or SIGTERM. It is the native build, on SDL2,"
    "of a small graphics demo for Windows and the runtime it is built on.")
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "the ${PROJECT_NAME} authors")
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  # The shared libraries the program links, SDL2's runtime package among them,
  # become the package's dependencies (dpkg-shlibdeps), with the versions this
  # system's libraries require.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
  include(CPack)
endif()
