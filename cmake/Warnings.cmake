# Warnings are errors in our own targets only; third-party code keeps its own flags.
function(disksentry_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                           -Wsign-conversion -Werror)
endfunction()
