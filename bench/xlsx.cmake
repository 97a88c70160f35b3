# xlsx_bench: the register of incoming VSDs written for ten thousand VSDs.
add_executable(xlsx_bench ${CMAKE_CURRENT_LIST_DIR}/XlsxBench.cpp)
target_include_directories(xlsx_bench PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(xlsx_bench PRIVATE zanvo_common workspace)
