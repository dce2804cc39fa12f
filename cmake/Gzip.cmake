# A file compressed as Debian ships documents: gzip -9, with no name or time in it, so that the
# same file gives the same bytes.
function(disksentry_gzip input output)
  find_program(DISKSENTRY_GZIP gzip REQUIRED)
  add_custom_command(OUTPUT ${output}
    COMMAND sh -c "\"$0\" -9nc \"$1\" >\"$2\"" ${DISKSENTRY_GZIP} ${input} ${output}
    DEPENDS ${input}
    COMMENT "Compressing ${output}"
    VERBATIM)
endfunction()
