# swapsprint_relative_dir(OUT PREFIX FROM TO): the path from folder FROM to
# folder TO, each an install folder setting, relative to PREFIX or absolute
# (CMAKE_INSTALL_BINDIR=/usr/games is as valid as bin). "." for one folder.
function(swapsprint_relative_dir out prefix from to)
  foreach(dir from to)
    if(IS_ABSOLUTE "${${dir}}")
      set(full_${dir} "${${dir}}")
    else()
      set(full_${dir} "${prefix}/${${dir}}")
    endif()
    cmake_path(NORMAL_PATH full_${dir})
  endforeach()
  file(RELATIVE_PATH relative "${full_from}" "${full_to}")
  if(relative STREQUAL "")
    set(relative ".")
  endif()
  set(${out} "${relative}" PARENT_SCOPE)
endfunction()
