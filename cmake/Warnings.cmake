# The build stays warning-free; -Werror would make a new compiler's new
# warnings break users' builds, so warnings are shown, not fatal.
function(skirmora_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()
