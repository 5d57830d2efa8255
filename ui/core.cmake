# Window-free pieces of the user interface, built in every preset (the
# fuzzing build too) so that libraries and their tests can use them.
add_library(tempiola_msgring STATIC
  ${PROJECT_SOURCE_DIR}/ui/msg_ring.cpp
  ${PROJECT_SOURCE_DIR}/ui/gbk_cut.cpp)
target_include_directories(tempiola_msgring PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tempiola_msgring PUBLIC tempiola_afx)
