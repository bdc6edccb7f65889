# The build stays warning-free; -Werror would make a new compiler's new
# warnings break users' builds, so warnings are shown, not fatal.
function(skirmora_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor
    -Wold-style-cast -Wsuggest-override -Wconversion)
  # Clang's -Wconversion also flags every int used as an index or size,
  # which would put a cast on nearly every pixel and cell access.
  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    target_compile_options(${target} PRIVATE -Wno-sign-conversion)
  endif()
endfunction()
