# peakwend_warnings(target): the house warning set, errors in CI.
function(peakwend_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Wimplicit-fallthrough)
  if(PEAKWEND_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
