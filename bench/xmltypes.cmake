# xmltypes_bench: the XML of 100,000 VSDs written through the type descriptions
# of xmltypes, against the same rows written with pugixml directly.
add_executable(xmltypes_bench ${CMAKE_CURRENT_LIST_DIR}/XmlTypesBench.cpp ${CMAKE_SOURCE_DIR}/cli/TableXml.cpp)
target_include_directories(xmltypes_bench PRIVATE ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_SOURCE_DIR})
target_link_libraries(xmltypes_bench PRIVATE zanvo_common store platform xmltypes pugixml::pugixml Qt6::Core)
