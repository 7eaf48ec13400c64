# Programs: every folder with an entry.cpp, at the top of the source tree (the
# demo) or in examples/, is one program. Its entry.cpp becomes the program's
# executable (on the web platform its page) named after the folder; its other
# sources form the program's own library (wirlo_FOLDER_code), which its tests
# (tests/FOLDER-PATH/) and the tools and benchmarks link. A folder may keep a
# program.cmake that sets PROGRAM_NAME (the executable's name), PROGRAM_TITLE
# (the page's title), PROGRAM_PAGE (the page's file name) and
# PROGRAM_DESCRIPTION (one line on what it is: the Windows file description,
# the native --help); the defaults are the folder's name, NAME.html and the
# title.
#
# Every program also gets program_about.cpp, made from
# cmake/program/program_about.cpp.in: its name, the project's name and
# version, and its description (ProgramThis, runtime/program/command_line.h).
#
# For each program the global property WIRLO_PROGRAMS holds its folder's path
# (relative to the source tree); WIRLO_PROGRAM_CODE_<folder> names its library
# target, if it has one. The program's target (wirlo_FOLDER) keeps its page's
# file name in the property WIRLO_PAGE.

file(GLOB WIRLO_PROGRAM_ENTRIES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/*/entry.cpp
     ${CMAKE_SOURCE_DIR}/examples/*/entry.cpp)
list(SORT WIRLO_PROGRAM_ENTRIES)
set(WIRLO_PROGRAM_LIBRARIES)
foreach(entry IN LISTS WIRLO_PROGRAM_ENTRIES)
  get_filename_component(dir ${entry} DIRECTORY)
  get_filename_component(folder ${dir} NAME)
  file(RELATIVE_PATH path ${CMAKE_SOURCE_DIR} ${dir})
  set(PROGRAM_NAME ${folder})
  unset(PROGRAM_TITLE)
  unset(PROGRAM_PAGE)
  unset(PROGRAM_DESCRIPTION)
  if(EXISTS ${dir}/program.cmake)
    include(${dir}/program.cmake)
  endif()
  if(NOT DEFINED PROGRAM_TITLE)
    set(PROGRAM_TITLE ${PROGRAM_NAME})
  endif()
  if(NOT DEFINED PROGRAM_PAGE)
    set(PROGRAM_PAGE ${PROGRAM_NAME}.html)
  endif()
  if(NOT DEFINED PROGRAM_DESCRIPTION)
    set(PROGRAM_DESCRIPTION ${PROGRAM_TITLE})
  endif()

  wirlo_collect(code "${path}/*.cpp")
  list(REMOVE_ITEM code ${entry})
  set(target wirlo_${folder})
  set(about ${CMAKE_BINARY_DIR}/programs/${PROGRAM_NAME}/program_about.cpp)
  configure_file(${WIRLO_TEMPLATES}/program_about.cpp.in ${about} @ONLY)
  add_executable(${target} ${entry} ${about})
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${PROGRAM_NAME} WIRLO_PAGE ${PROGRAM_PAGE})
  target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:${WIRLO_WARNINGS}>)
  if(code)
    add_library(${target}_code STATIC ${code})
    target_compile_options(${target}_code PRIVATE ${WIRLO_WARNINGS})
    target_link_libraries(${target}_code PUBLIC wirlo_runtime)
    target_link_libraries(${target} PRIVATE ${target}_code)
    list(APPEND WIRLO_PROGRAM_LIBRARIES ${target}_code)
    set_property(GLOBAL PROPERTY WIRLO_PROGRAM_CODE_${folder} ${target}_code)
  endif()
  target_link_libraries(${target} PRIVATE wirlo_runtime)
  wirlo_platform_program(${target} ${PROGRAM_NAME} "${PROGRAM_TITLE}" ${PROGRAM_PAGE} "${PROGRAM_DESCRIPTION}")
  set_property(GLOBAL APPEND PROPERTY WIRLO_PROGRAMS ${path})
endforeach()
