# The platform switch and the rule that picks each platform's files.
#
# The platforms are the records in cmake/platforms/ (NAME.cmake: what the
# platform links, how it makes a program, its test framework). WIRLO_PLATFORM
# names the one this build is for; the presets set it, and without a preset it
# follows the toolchain (Windows: win, emscripten: web, otherwise sdl).
#
# File names: a source, test, benchmark or end-to-end script whose name ends in
# _NAME (before .cpp or .sh, and before a final _test, _gui_test or _bench) is
# built only for platform NAME; _posix ends the files of the POSIX layer, which
# the sdl and web platforms share. Every other file builds everywhere. A file
# X_WORD beside a platform file of X (X_win, X_sdl, X_web or X_posix) is taken
# for X on platform WORD, unless it has a header X_WORD.h of its own (for a
# test, in the folder it tests), so an unknown WORD there (runtime/screen/
# screen_kms.cpp beside screen_win.cpp) stops the configuration instead of
# building into every platform.

file(GLOB WIRLO_PLATFORMS RELATIVE ${CMAKE_SOURCE_DIR}/cmake/platforms ${CMAKE_SOURCE_DIR}/cmake/platforms/*.cmake)
list(TRANSFORM WIRLO_PLATFORMS REPLACE "\\.cmake$" "")
if(WIN32)
  set(WIRLO_DEFAULT_PLATFORM win)
elseif(EMSCRIPTEN)
  set(WIRLO_DEFAULT_PLATFORM web)
else()
  set(WIRLO_DEFAULT_PLATFORM sdl)
endif()
set(WIRLO_PLATFORM ${WIRLO_DEFAULT_PLATFORM} CACHE STRING "The platform to build for: ${WIRLO_PLATFORMS}")
set_property(CACHE WIRLO_PLATFORM PROPERTY STRINGS ${WIRLO_PLATFORMS})
if(NOT WIRLO_PLATFORM IN_LIST WIRLO_PLATFORMS)
  string(REPLACE ";" ", " known "${WIRLO_PLATFORMS}")
  message(FATAL_ERROR "WIRLO_PLATFORM is '${WIRLO_PLATFORM}', which is no platform of this project (${known}: "
                      "the records in cmake/platforms/).")
endif()
set(WIRLO_TEMPLATES ${CMAKE_SOURCE_DIR}/cmake/program)
include(${CMAKE_SOURCE_DIR}/cmake/platforms/${WIRLO_PLATFORM}.cmake)
# Code may ask which platform it is built for (WIRLO_PLATFORM_WIN, ...).
string(TOUPPER "WIRLO_PLATFORM_${WIRLO_PLATFORM}" WIRLO_PLATFORM_DEFINE)
add_compile_definitions(${WIRLO_PLATFORM_DEFINE}=1)

# Every word that marks a platform file, and those this build takes.
set(WIRLO_PLATFORM_WORDS ${WIRLO_PLATFORMS} posix)
set(WIRLO_BUILD_WORDS ${WIRLO_PLATFORM} ${WIRLO_PLATFORM_SHARES})

# The name of a file without its extension and its final _test, _gui_test or
# _bench.
function(wirlo_file_base path out)
  get_filename_component(name ${path} NAME_WLE)
  string(REGEX REPLACE "_(gui_test|test|bench)$" "" name "${name}")
  set(${out} ${name} PARENT_SCOPE)
endfunction()

# Whether base X_WORD has a header X_WORD.h of its own: beside the file, or for
# a test, in the folder it tests (tests/A/B tests runtime/A/B or the program
# folder A/B).
function(wirlo_has_own_header dir base out)
  set(places ${dir})
  file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR}/tests ${dir})
  if(NOT rel MATCHES "^\\.\\.")
    list(APPEND places ${CMAKE_SOURCE_DIR}/runtime/${rel} ${CMAKE_SOURCE_DIR}/${rel})
  endif()
  set(found FALSE)
  foreach(place IN LISTS places)
    if(EXISTS ${place}/${base}.h)
      set(found TRUE)
    endif()
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# The platform word of a file, or "" for a file that builds everywhere. Stops
# the configuration at a file that looks like another platform's X.
function(wirlo_file_platform path out)
  wirlo_file_base(${path} base)
  set(${out} "" PARENT_SCOPE)
  if(NOT base MATCHES "^(.+)_([a-z0-9]+)$")
    return()
  endif()
  set(stem ${CMAKE_MATCH_1})
  set(word ${CMAKE_MATCH_2})
  if(word IN_LIST WIRLO_PLATFORM_WORDS)
    set(${out} ${word} PARENT_SCOPE)
    return()
  endif()
  get_filename_component(dir ${path} DIRECTORY)
  get_filename_component(ext ${path} LAST_EXT)
  file(GLOB siblings ${dir}/${stem}_*${ext})
  foreach(sibling IN LISTS siblings)
    wirlo_file_base(${sibling} sibling_base)
    if(NOT sibling_base MATCHES "^(.+)_([a-z0-9]+)$" OR NOT CMAKE_MATCH_1 STREQUAL stem)
      continue()
    endif()
    if(CMAKE_MATCH_2 IN_LIST WIRLO_PLATFORM_WORDS)
      wirlo_has_own_header(${dir} ${base} own)
      if(NOT own)
        file(RELATIVE_PATH shown ${CMAKE_SOURCE_DIR} ${path})
        file(RELATIVE_PATH beside ${CMAKE_SOURCE_DIR} ${sibling})
        string(REPLACE ";" ", " known "${WIRLO_PLATFORM_WORDS}")
        message(FATAL_ERROR "${shown}: '${word}' is no known platform suffix (${known}), yet the file stands beside "
                            "${beside} as another platform's version of it. Add the platform's record "
                            "(cmake/platforms/${word}.cmake), or rename the file; a file of its own beside "
                            "platform files needs its own header ${base}.h.")
      endif()
    endif()
  endforeach()
endfunction()

# The files matching the glob patterns (relative to the source tree) that this
# build takes, sorted.
function(wirlo_collect out)
  set(found)
  foreach(pattern IN LISTS ARGN)
    file(GLOB_RECURSE matched CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${pattern})
    list(APPEND found ${matched})
  endforeach()
  set(taken)
  foreach(path IN LISTS found)
    wirlo_file_platform(${path} word)
    if(NOT word OR word IN_LIST WIRLO_BUILD_WORDS)
      list(APPEND taken ${path})
    endif()
  endforeach()
  list(SORT taken)
  set(${out} ${taken} PARENT_SCOPE)
endfunction()
