# walker_bench: the response walker on generated VSD list answers (time against
# the parse alone, peak memory against the answer's size).
add_executable(walker_bench ${CMAKE_CURRENT_LIST_DIR}/WalkerBench.cpp ${CMAKE_CURRENT_LIST_DIR}/AnswerGenerator.cpp)
target_include_directories(walker_bench PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(walker_bench PRIVATE zanvo_common responses pugixml::pugixml)
