# The web page: the game, the layer without FFmpeg and zlib, the web host, and the
# game folder of a native build packed beside it (VALIMO_WEB_DATA).
set(VALIMO_WEB_DATA "" CACHE PATH "The game folder to pack with the page")
if(NOT IS_DIRECTORY "${VALIMO_WEB_DATA}")
  message(FATAL_ERROR "VALIMO_WEB_DATA must name the game folder to pack (a native build's game folder)")
endif()

file(GLOB WEB_SOURCES CONFIGURE_DEPENDS
  platform/*.cpp platform/web/*.cpp
  app/*.cpp puzzle/*.cpp profiles/*.cpp gui/*.cpp gfx/*.cpp sound/*.cpp input/*.cpp)
# Movies go through our own reader here, and nothing writes PNG files.
list(REMOVE_ITEM WEB_SOURCES ${CMAKE_SOURCE_DIR}/platform/avi.cpp ${CMAKE_SOURCE_DIR}/platform/png.cpp
  ${CMAKE_SOURCE_DIR}/app/main.cpp)

add_executable(valimo ${WEB_SOURCES})
target_include_directories(valimo PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(valimo PRIVATE -O2)
set_target_properties(valimo PROPERTIES SUFFIX ".js")
file(GLOB_RECURSE WEB_DATA_FILES CONFIGURE_DEPENDS ${VALIMO_WEB_DATA}/*)
set_target_properties(valimo PROPERTIES LINK_DEPENDS "${WEB_DATA_FILES}")
target_link_options(valimo PRIVATE
  -O2
  # The frame loop sleeps by handing the page back to the browser.
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536
  -sALLOW_MEMORY_GROWTH -sINITIAL_MEMORY=67108864
  -sEXIT_RUNTIME -sFORCE_FILESYSTEM -lidbfs.js
  # The page's scripts and tests read the player's files through FS.
  -sEXPORTED_RUNTIME_METHODS=FS,UTF8ToString
  -sENVIRONMENT=web
  --preload-file ${VALIMO_WEB_DATA}@/game)
add_custom_command(TARGET valimo POST_BUILD
  COMMAND ${CMAKE_COMMAND} -DDIR=${CMAKE_BINARY_DIR} -P ${CMAKE_SOURCE_DIR}/platform/web/page_files.cmake
  VERBATIM)

# The page and the two pages the game opens, beside the program.
set(WEB_PAGES ${CMAKE_BINARY_DIR}/index.html ${CMAKE_BINARY_DIR}/order.html ${CMAKE_BINARY_DIR}/faq.html)
add_custom_command(OUTPUT ${WEB_PAGES}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/platform/web/index.html ${CMAKE_BINARY_DIR}/index.html
  COMMAND ${CMAKE_COMMAND} -E copy ${VALIMO_WEB_DATA}/order.html ${VALIMO_WEB_DATA}/faq.html ${CMAKE_BINARY_DIR}/
  DEPENDS ${CMAKE_SOURCE_DIR}/platform/web/index.html ${VALIMO_WEB_DATA}/order.html ${VALIMO_WEB_DATA}/faq.html
  VERBATIM)
add_custom_target(webpage ALL DEPENDS ${WEB_PAGES})
