# Warnings and sanitizers applied to every target of the project.
option(CORVANE_WERROR "Treat compiler warnings as errors" OFF)
add_compile_options(-Wall -Wextra -Wshadow)
if(CORVANE_WERROR)
  add_compile_options(-Werror)
endif()
add_compile_definitions(QT_NO_CAST_FROM_BYTEARRAY QT_NO_URL_CAST_FROM_STRING)
if(CORVANE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# The product's own sources are held to more: ISO C++ only, C++ casts only, and every text
# from a literal spelled out as Latin-1, UTF-8 or a string-table entry.
function(corvane_strict_sources target)
  target_compile_options(${target} PRIVATE -Wpedantic -Wold-style-cast)
  target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_ASCII)
endfunction()
