# Includes that would step around the layers' include roots: a path that
# climbs out of its folder, or SDL named anywhere but the platform layer.
# cmake -DSRC=<src folder> -P layer-includes.cmake
file(GLOB_RECURSE sources ${SRC}/*.cpp ${SRC}/*.h)
set(bad "")
foreach(file ${sources})
  file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    if(line MATCHES "\\.\\./" OR (line MATCHES "SDL" AND NOT file MATCHES "/src/platform/"))
      string(APPEND bad "\n  ${file}: ${line}")
    endif()
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "includes around the layers:${bad}")
endif()
