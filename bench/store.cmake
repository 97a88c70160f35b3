# store_bench: the indexed file driver against raw SQLite on the same schema.
add_executable(store_bench ${CMAKE_CURRENT_LIST_DIR}/StoreBench.cpp ${CMAKE_CURRENT_LIST_DIR}/RawSqlite.cpp)
target_link_libraries(store_bench PRIVATE zanvo_common store PkgConfig::SQLITE3)
