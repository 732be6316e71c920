# One warning set for every target of ours.
function(darvex_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wformat=2 -Wundef -Wcast-align)
  if(DARVEX_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
