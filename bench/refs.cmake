# refs_bench: the dictionaries window over the streets of one locality.
if(TARGET workspace_ui)
  add_executable(refs_bench ${CMAKE_CURRENT_LIST_DIR}/RefsBench.cpp)
  target_include_directories(refs_bench PRIVATE ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(refs_bench PRIVATE zanvo_common workspace_ui Qt6::Widgets Qt6::Test)
endif()
