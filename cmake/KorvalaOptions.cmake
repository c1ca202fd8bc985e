# One interface target carries the language standard, the warnings and the
# sanitizer switches; every target of the project links it.
add_library(korvala_options INTERFACE)
target_compile_features(korvala_options INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)

target_compile_options(korvala_options INTERFACE -Wall -Wextra -Wpedantic
  -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual -Wshadow)
if(KORVALA_WERROR)
  target_compile_options(korvala_options INTERFACE -Werror)
endif()

if(KORVALA_SANITIZE)
  target_compile_options(korvala_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(korvala_options INTERFACE -fsanitize=address,undefined)
endif()

# The one version string, for the program, the command line and the About box.
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in ${PROJECT_BINARY_DIR}/generated/version.h @ONLY)
target_include_directories(korvala_options INTERFACE ${PROJECT_BINARY_DIR}/generated)

# Qt code: no implicit conversions from 8-bit strings, no old-style connects. Every
# target that includes Qt links this as well.
add_library(korvala_qt_options INTERFACE)
target_compile_definitions(korvala_qt_options INTERFACE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII
  QT_NO_URL_CAST_FROM_STRING QT_NO_CAST_FROM_BYTEARRAY QT_USE_QSTRINGBUILDER
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
target_link_libraries(korvala_qt_options INTERFACE korvala_options)
