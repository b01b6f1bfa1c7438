# Compile flags shared by every target of the project: pelicast_apply_options(<target>).
function(pelicast_apply_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(PELICAST_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

if(PELICAST_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
