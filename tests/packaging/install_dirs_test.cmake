# cmake -P install_dirs_test.cmake: the way from the installed program to its
# data, for relative and absolute folder settings.
include(${CMAKE_CURRENT_LIST_DIR}/../../packaging/InstallDirs.cmake)
set(failures 0)
foreach(case
    "/usr|bin|share/swapsprint|../share/swapsprint"
    "/usr|games|share/games/swapsprint|../share/games/swapsprint"
    "/usr/local|/usr/games|share/swapsprint|../local/share/swapsprint"
    "/opt/x|bin|/usr/share/swapsprint|../../../usr/share/swapsprint"
    "/usr|/usr/bin|/usr/share/swapsprint/|../share/swapsprint"
    "/home/p/.local|bin/|./share//swapsprint|../share/swapsprint"
    "/usr|lib/swapsprint|lib/swapsprint|.")
  string(REPLACE "|" ";" fields "${case}")
  list(GET fields 0 prefix)
  list(GET fields 1 from)
  list(GET fields 2 to)
  list(GET fields 3 want)
  swapsprint_relative_dir(got "${prefix}" "${from}" "${to}")
  if(NOT got STREQUAL want)
    message(SEND_ERROR "prefix ${prefix}, ${from} -> ${to}: got '${got}', want '${want}'")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} install folder cases failed")
endif()
