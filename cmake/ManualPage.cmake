# The manual page of a command-line program, generated from its own --help and that of each of
# its subcommands, so that the page and the program never tell different stories. Installed with
# the program.
function(disksentry_manual_page target)
  find_package(Python3 3.9 REQUIRED COMPONENTS Interpreter)
  set(page ${CMAKE_CURRENT_BINARY_DIR}/${target}.1)
  set(generator ${PROJECT_SOURCE_DIR}/scripts/manual-page)
  add_custom_command(OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${DISKSENTRY_SOURCE_DATE_EPOCH}
            ${Python3_EXECUTABLE} ${generator} $<TARGET_FILE:${target}> ${page}
    DEPENDS ${target} ${generator}
    COMMENT "Writing the manual page ${target}.1")
  add_custom_target(${target}_manual_page ALL DEPENDS ${page})
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
