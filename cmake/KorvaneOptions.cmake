# One INTERFACE target carries the warning flags and the strict Qt defines for every target.
add_library(korvane_options INTERFACE)
target_compile_options(korvane_options INTERFACE -Wall -Wextra -Wpedantic)
if(KORVANE_WERROR)
  target_compile_options(korvane_options INTERFACE -Werror)
endif()
target_compile_definitions(korvane_options INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_URL_CAST_FROM_STRING
  QT_STRICT_ITERATORS
  QT_NO_FOREACH
  QT_DISABLE_DEPRECATED_BEFORE=0x060400)
if(KORVANE_SANITIZE)
  target_compile_options(korvane_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                   -fno-sanitize-recover=undefined)
  target_link_options(korvane_options INTERFACE -fsanitize=address,undefined)
endif()
