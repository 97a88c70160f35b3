# load_bench: the VSD loader against raw SQLite inserts of the same rows.
add_executable(load_bench ${CMAKE_CURRENT_LIST_DIR}/LoadBench.cpp ${CMAKE_CURRENT_LIST_DIR}/AnswerGenerator.cpp
                          ${CMAKE_CURRENT_LIST_DIR}/RawSqlite.cpp)
target_include_directories(load_bench PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(load_bench PRIVATE zanvo_common responses PkgConfig::SQLITE3)
