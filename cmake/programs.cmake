# Programs: every folder with an entry.cpp, at the top of the source tree (the
# demo) or in examples/, is one program. Its entry.cpp becomes the program's
# executable (on the web platform its page) named after the folder; its other
# sources form the program's own library (wirlo_FOLDER_code), which its tests
# (tests/FOLDER-PATH/) and the tools and benchmarks link. A folder may keep a
# program.cmake that sets PROGRAM_NAME (the executable's name), PROGRAM_TITLE
# (the page's title) and PROGRAM_PAGE (the page's file name); the defaults are
# the folder's name and NAME.html.
#
# For each program the global property WIRLO_PROGRAMS holds its folder's path
# (relative to the source tree); WIRLO_PROGRAM_CODE_<folder> names its library
# target, if it has one.

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
  if(EXISTS ${dir}/program.cmake)
    include(${dir}/program.cmake)
  endif()
  if(NOT DEFINED PROGRAM_TITLE)
    set(PROGRAM_TITLE ${PROGRAM_NAME})
  endif()
  if(NOT DEFINED PROGRAM_PAGE)
    set(PROGRAM_PAGE ${PROGRAM_NAME}.html)
  endif()

  wirlo_collect(code "${path}/*.cpp")
  list(REMOVE_ITEM code ${entry})
  set(target wirlo_${folder})
  add_executable(${target} ${entry})
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${PROGRAM_NAME})
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
  wirlo_platform_program(${target} ${PROGRAM_NAME} "${PROGRAM_TITLE}" ${PROGRAM_PAGE})
  set_property(GLOBAL APPEND PROPERTY WIRLO_PROGRAMS ${path})
endforeach()
