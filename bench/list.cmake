# list_bench: the main window over a journal of a hundred thousand VSDs.
if(TARGET workspace_ui)
  add_executable(list_bench ${CMAKE_CURRENT_LIST_DIR}/ListBench.cpp)
  target_include_directories(list_bench PRIVATE ${CMAKE_CURRENT_LIST_DIR})
  target_link_libraries(list_bench PRIVATE zanvo_common workspace_ui Qt6::Widgets Qt6::Test)
endif()
