# The browser build's libraries and link settings, included by the top-level
# CMakeLists.txt when configured with emcmake (scripts/web.sh). The libraries
# come from SWAPSPRINT_WEB_PREFIXES, the folders scripts/web/libs.sh built
# from Debian's source packages; no emscripten port is used (they would be
# downloaded).
set(SWAPSPRINT_WEB_PREFIXES "" CACHE STRING "Install folders of the libraries built for the web")
if(NOT SWAPSPRINT_WEB_PREFIXES)
  message(FATAL_ERROR "SWAPSPRINT_WEB_PREFIXES is empty: build the page with scripts/web.sh")
endif()

# The SSE2 kernels compile to WebAssembly's 128-bit vectors.
add_compile_options(-msimd128 -msse2)
# The page is downloaded before it plays: its code built for size (after the
# release flags, so this one holds); -Oz makes it 7 kB smaller compressed
# than -Os. The frames stay far inside their 1/60 s.
add_compile_options(-Oz)

function(swapsprint_web_library target lib header)
  # Looked up again each time: a library rebuilt elsewhere moves to a new folder.
  unset(${target}_LIB CACHE)
  unset(${target}_INC CACHE)
  find_library(${target}_LIB ${lib} PATHS ${SWAPSPRINT_WEB_PREFIXES} PATH_SUFFIXES lib
               NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  find_path(${target}_INC ${header} PATHS ${SWAPSPRINT_WEB_PREFIXES} PATH_SUFFIXES include include/SDL2 include/freetype2
            NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  add_library(web::${target} STATIC IMPORTED)
  set_target_properties(web::${target} PROPERTIES IMPORTED_LOCATION ${${target}_LIB}
                        INTERFACE_INCLUDE_DIRECTORIES ${${target}_INC})
endfunction()

swapsprint_web_library(sdl2 SDL2 SDL.h)
swapsprint_web_library(sdl2ttf SDL2_ttf SDL_ttf.h)
swapsprint_web_library(freetype freetype ft2build.h)
swapsprint_web_library(mpg123 mpg123 mpg123.h)
swapsprint_web_library(png png png.h)
swapsprint_web_library(zlib z zlib.h)
set(SWAPSPRINT_WEB_LIBS web::sdl2ttf web::freetype web::sdl2 web::mpg123 web::png web::zlib)

# The program: swapsprint.js and swapsprint.wasm. The pictures, sounds and
# fonts are packed apart (web.sh) and put by the page (pre.js) at the folder
# an installed game keeps them in, seen from the program's own (Paths.cpp):
# /swapsprint/bin and ../share/swapsprint.
function(swapsprint_web_program target)
  target_compile_definitions(${target} PRIVATE SWAPSPRINT_VERSION="${PROJECT_VERSION}"
                             SWAPSPRINT_DATA_FROM_BINARY="../share/swapsprint")
  target_link_options(${target} PRIVATE
    -sENVIRONMENT=web
    -Oz
    -sALLOW_MEMORY_GROWTH=1
    # Grown as the pictures are decoded; the page holds what the game does.
    -sINITIAL_MEMORY=33554432
    -sFORCE_FILESYSTEM=1
    -sEXPORTED_RUNTIME_METHODS=FS,addRunDependency,removeRunDependency
    # SDL's sound calls these from its JavaScript: the first click, key or
    # touch turns the page's sound on (browsers keep it off until then).
    -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_SOURCE_DIR}/scripts/web/library-funcs.json
    --pre-js ${CMAKE_SOURCE_DIR}/scripts/web/pre.js)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/scripts/web/pre.js)
endfunction()

# The drawing kernels held to their plain definitions as WebAssembly, run in
# node by scripts/web-test.sh.
function(swapsprint_web_kernel_check)
  add_executable(web_kernels tests/web/kernels.cpp)
  target_link_libraries(web_kernels PRIVATE swapsprint_platform)
  target_link_options(web_kernels PRIVATE -sENVIRONMENT=node)
  set_target_properties(web_kernels PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endfunction()
