# Four upper-case hexadecimal digits of the build number, for the build marker.
math(EXPR _zanvo_build_hex "${ZANVO_BUILD_NUMBER} & 0xFFFF" OUTPUT_FORMAT HEXADECIMAL)
string(SUBSTRING "${_zanvo_build_hex}" 2 -1 _zanvo_build_hex)
string(TOUPPER "${_zanvo_build_hex}" _zanvo_build_hex)
string(LENGTH "${_zanvo_build_hex}" _len)
while(_len LESS 4)
  set(_zanvo_build_hex "0${_zanvo_build_hex}")
  string(LENGTH "${_zanvo_build_hex}" _len)
endwhile()
set(ZANVO_BUILD_HEX ${_zanvo_build_hex})

# One interface target carries the language level, the warnings and the Qt
# strictness switches; every target of the project links it.
add_library(zanvo_common INTERFACE)
target_compile_features(zanvo_common INTERFACE cxx_std_20)
target_compile_definitions(zanvo_common INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_CONTEXTLESS_CONNECT
  QT_NO_KEYWORDS
  ZANVO_BUILD_NUMBER=${ZANVO_BUILD_NUMBER}
  ZANVO_BUILD_HEX=${ZANVO_BUILD_HEX})

# Warnings in each compiler's own spelling. The sources are UTF-8 (Russian
# texts), which MSVC must be told.
if(MSVC)
  target_compile_options(zanvo_common INTERFACE $<$<COMPILE_LANGUAGE:CXX>:/W4 /utf-8>)
  if(ZANVO_WERROR)
    target_compile_options(zanvo_common INTERFACE /WX)
  endif()
elseif(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(zanvo_common INTERFACE
    $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wno-missing-field-initializers>)
  # In a batch every file but the first is an included one, for which GCC
  # warns that a test's fixture lives in an anonymous namespace; a build
  # without batches still checks it.
  if(ZANVO_UNITY_BUILD AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(zanvo_common INTERFACE $<$<COMPILE_LANGUAGE:CXX>:-Wno-subobject-linkage>)
  endif()
  if(ZANVO_WERROR)
    target_compile_options(zanvo_common INTERFACE -Werror)
  endif()
  # File names in the code (GoogleTest's test records, assertion texts) are
  # relative to the checkout, so that the compiler cache serves a clone in
  # another folder.
  target_compile_options(zanvo_common INTERFACE -fmacro-prefix-map=${CMAKE_SOURCE_DIR}/=)
endif()

# ZANVO_SANITIZER is the sanitizer this tree is built with: address, thread or
# empty. ON stays the name of the address build that came first.
string(TOLOWER "${ZANVO_SANITIZE}" _zanvo_sanitize)
if(_zanvo_sanitize MATCHES "^(on|yes|true|1|address)$")
  set(ZANVO_SANITIZER address)
elseif(_zanvo_sanitize STREQUAL "thread")
  set(ZANVO_SANITIZER thread)
elseif(_zanvo_sanitize MATCHES "^(|off|no|false|0)$")
  set(ZANVO_SANITIZER "")
else()
  message(FATAL_ERROR "ZANVO_SANITIZE is '${ZANVO_SANITIZE}'; it must be address (ON), thread or empty (OFF)")
endif()

if(ZANVO_SANITIZER AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  if(ZANVO_SANITIZER STREQUAL "address")
    set(_zanvo_sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=undefined)
  else()
    set(_zanvo_sanitize_flags -fsanitize=thread)
  endif()
  target_compile_options(zanvo_common INTERFACE ${_zanvo_sanitize_flags} -fno-omit-frame-pointer)
  target_link_options(zanvo_common INTERFACE ${_zanvo_sanitize_flags})
  # A sanitized Debug build is optimized lightly, as the sanitizers' authors
  # advise: unoptimized, the tests that start the VetIS test double (it builds
  # its fixtures for every test) run five times slower, and -O1 keeps the
  # reports' stacks readable. At -O1 GCC checks printf-style formats without the
  # value ranges -O2 knows and warns of truncations that cannot happen; the
  # RelWithDebInfo tree keeps that check. Line tables and function names
  # (-g1) are all the reports need, and compile a fifth faster than full
  # debug information.
  target_compile_options(zanvo_common INTERFACE $<$<CONFIG:Debug>:-O1 -g1>)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(zanvo_common INTERFACE $<$<AND:$<CONFIG:Debug>,$<COMPILE_LANGUAGE:CXX>>:-Wno-format-truncation>)
  endif()
elseif(ZANVO_SANITIZER STREQUAL "address" AND MSVC)
  # MSVC has AddressSanitizer only.
  target_compile_options(zanvo_common INTERFACE /fsanitize=address)
elseif(ZANVO_SANITIZER)
  message(FATAL_ERROR "ZANVO_SANITIZE=${ZANVO_SANITIZE} is not supported by ${CMAKE_CXX_COMPILER_ID}")
endif()

# add_zanvo_test(NAME folder [GUI] SOURCES ... LIBS ...): one GoogleTest executable
# per folder, registered with CTest; windows are tested on Qt's offscreen platform.
# GUI gives the test a QApplication, otherwise it gets a QCoreApplication.
function(add_zanvo_test)
  cmake_parse_arguments(T "GUI" "NAME" "SOURCES;LIBS" ${ARGN})
  if(T_GUI)
    add_executable(${T_NAME} ${T_SOURCES} $<TARGET_OBJECTS:testmain_gui>)
    target_link_libraries(${T_NAME} PRIVATE Qt6::Widgets)
  else()
    add_executable(${T_NAME} ${T_SOURCES} $<TARGET_OBJECTS:testmain_core>)
  endif()
  target_link_libraries(${T_NAME} PRIVATE zanvo_common testsupport ${T_LIBS} GTest::gtest GTest::gmock)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;ZANVO_SHARED_DIR=${CMAKE_SOURCE_DIR}/../shared;ZANVO_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    TIMEOUT 600)
endfunction()
