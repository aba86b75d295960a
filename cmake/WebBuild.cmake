# The browser build (emcc, through emcmake): the same game and runtime over a platform written on the
# browser's own interfaces (runtime/platform/web: canvas, WebGL, keyboard and mouse events, Web Audio,
# IndexedDB). No SDL, libpng, zlib or LZO: pictures are decoded by a small inflate of our own, the media
# travel as loose files (no packed archive), screenshots are written as uncompressed PNGs. The game's data
# are packed into brillora.data by scripts/web.sh, which stages them from a native build.
set(BRILLORA_WEB_DATA "" CACHE PATH "Folder whose files become the page's game folder (staged by scripts/web.sh)")

include_directories(${PROJECT_SOURCE_DIR})

# The runtime ends the program by an exception that unwinds the game (also from inside its frame waits).
add_compile_options(-fexceptions "SHELL:-include ${PROJECT_SOURCE_DIR}/runtime/platform/web/LibraryGaps.h")
add_link_options(-fexceptions)

file(GLOB platform_sources CONFIGURE_DEPENDS runtime/platform/*.cpp runtime/platform/web/*.cpp)
list(FILTER platform_sources EXCLUDE REGEX "/(PlatformSdl|SdlKeyMap|SdlLibrary)\\.cpp$")
add_library(rt_platform STATIC ${platform_sources})

file(GLOB core_sources CONFIGURE_DEPENDS runtime/core/*.cpp)
list(FILTER core_sources EXCLUDE REGEX "/ArchiveWriter\\.cpp$")
add_library(rt_core STATIC ${core_sources})
target_link_libraries(rt_core PUBLIC rt_platform)
target_compile_definitions(rt_core PRIVATE BRILLORA_VERSION="${PROJECT_VERSION}")

file(GLOB gfx2d_sources CONFIGURE_DEPENDS runtime/gfx2d/*.cpp runtime/gfx2d/web/*.cpp)
list(FILTER gfx2d_sources EXCLUDE REGEX "/runtime/gfx2d/(ImagePng|ImageWrite)\\.cpp$")
add_library(rt_gfx2d STATIC ${gfx2d_sources})
target_link_libraries(rt_gfx2d PUBLIC rt_core)

file(GLOB sound_sources CONFIGURE_DEPENDS runtime/sound/*.cpp)
add_library(rt_sound STATIC ${sound_sources})
target_link_libraries(rt_sound PUBLIC rt_core)

file(GLOB program_sources CONFIGURE_DEPENDS runtime/program/*.cpp)
add_library(quillon STATIC ${program_sources})
target_link_libraries(quillon PUBLIC rt_gfx2d rt_sound rt_core)

file(GLOB game_sources CONFIGURE_DEPENDS game/*.cpp)
add_library(game STATIC ${game_sources})
target_link_libraries(game PUBLIC quillon)

add_executable(brillora game/main/ProgramEntry.cpp)
set_target_properties(brillora PROPERTIES SUFFIX ".html")
target_link_libraries(brillora PRIVATE game)
# The game's frame loop blocks; Asyncify lets its waits return to the browser and resume where they were.
# Without it (only to measure what it costs) the page can do nothing but unpaced runs that never wait.
option(BRILLORA_WEB_ASYNCIFY "Let the game's waits return to the browser (off only for measurements)" ON)
if(BRILLORA_WEB_ASYNCIFY)
  set(web_asyncify -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536)
else()
  set(web_asyncify)
  target_compile_definitions(rt_platform PRIVATE BRILLORA_WEB_NO_ASYNCIFY)
endif()
set(web_link_options
    ${web_asyncify} -sALLOW_MEMORY_GROWTH -sINITIAL_MEMORY=64MB
    -sENVIRONMENT=web -sEXIT_RUNTIME=1 -sMINIFY_HTML=0 -sFORCE_FILESYSTEM -lidbfs.js
    -sEXPORTED_RUNTIME_METHODS=FS,IDBFS,callMain -sMIN_WEBGL_VERSION=1 -sMAX_WEBGL_VERSION=1
    --shell-file ${PROJECT_SOURCE_DIR}/runtime/platform/web/shell.html
    --pre-js ${PROJECT_SOURCE_DIR}/runtime/platform/web/pre.js)
if(BRILLORA_WEB_DATA)
  list(APPEND web_link_options --preload-file ${BRILLORA_WEB_DATA}@/game)
endif()
target_link_options(brillora PRIVATE ${web_link_options})
set_property(TARGET brillora APPEND PROPERTY LINK_DEPENDS
             ${PROJECT_SOURCE_DIR}/runtime/platform/web/shell.html ${PROJECT_SOURCE_DIR}/runtime/platform/web/pre.js)
