# music_startup: the music's share of the game's start-up time; see
# music_startup.cpp. Included from bench/CMakeLists.txt.
qt_add_executable(music_startup ${CMAKE_CURRENT_LIST_DIR}/music_startup.cpp)
target_link_libraries(music_startup PRIVATE kalvex_window)
target_compile_definitions(music_startup PRIVATE KALVEX_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
