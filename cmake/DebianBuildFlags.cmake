# Debian's hardening of the programs its packages ship, as dpkg-buildflags gives it: fortified
# functions, the stack protector, relocations made read-only and bound at start, and PIE (the
# compiler's own default). Its -g -O2 are left out, since the build type chooses the optimisation
# and the programs ship stripped, and so is its build-path mapping, which Reproducible.cmake makes.
find_program(DISKSENTRY_DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env "DEB_BUILD_MAINT_OPTIONS=hardening=+all reproducible=-all"
            "DEB_CXXFLAGS_MAINT_STRIP=-g -O2" ${DISKSENTRY_DPKG_BUILDFLAGS} --get ${kind}
    OUTPUT_VARIABLE flags
    OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  if(kind STREQUAL "LDFLAGS")
    add_link_options(${flags})
  else()
    add_compile_options(${flags})
  endif()
endforeach()
