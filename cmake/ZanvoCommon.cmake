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
target_compile_options(zanvo_common INTERFACE
  $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wno-missing-field-initializers>)
target_compile_definitions(zanvo_common INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_CONTEXTLESS_CONNECT
  QT_NO_KEYWORDS
  ZANVO_BUILD_NUMBER=${ZANVO_BUILD_NUMBER}
  ZANVO_BUILD_HEX=${ZANVO_BUILD_HEX})
if(ZANVO_WERROR)
  target_compile_options(zanvo_common INTERFACE -Werror)
endif()
if(ZANVO_SANITIZE)
  target_compile_options(zanvo_common INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(zanvo_common INTERFACE -fsanitize=address,undefined)
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
