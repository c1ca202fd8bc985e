# One interface target carries the language standard, the warnings and the
# sanitizer switches; every target of the project links it.
add_library(korvala_options INTERFACE)
target_compile_features(korvala_options INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)

target_compile_options(korvala_options INTERFACE -Wall -Wextra -Wpedantic)
if(KORVALA_WERROR)
  target_compile_options(korvala_options INTERFACE -Werror)
endif()

if(KORVALA_SANITIZE)
  target_compile_options(korvala_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(korvala_options INTERFACE -fsanitize=address,undefined)
endif()

# Qt code: no implicit conversions from 8-bit strings, no old-style connects.
set(KORVALA_QT_DEFINES QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_URL_CAST_FROM_STRING
    QT_NO_CAST_FROM_BYTEARRAY QT_USE_QSTRINGBUILDER QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
