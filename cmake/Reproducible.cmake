# Release binaries rebuild byte for byte from the same commit, in any folder, at any time: no
# build path in them and, on Windows, no link time in the PE header.
if(CMAKE_BUILD_TYPE STREQUAL "Release")
  # The build folder last: it may lie inside the source folder, and the last match wins.
  add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
                      -ffile-prefix-map=${PROJECT_BINARY_DIR}/=)
  if(WIN32)
    add_link_options(-Wl,--no-insert-timestamp)
  endif()
endif()

# The time that generated files carry: SOURCE_DATE_EPOCH when set, else the last commit's. It is
# looked up at each configure, so that a new commit is not left with the time of the one before.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(DISKSENTRY_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git log -1 --format=%ct
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE DISKSENTRY_SOURCE_DATE_EPOCH
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
