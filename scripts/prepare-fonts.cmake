# Copies the game's fonts into the run folder. The Hangul font is only used
# for the combo debug line, so when the font tools are at hand it is cut down
# to that line's letters (a few kilobytes instead of megabytes).
file(MAKE_DIRECTORY "${FONT_DIR}")
string(REPLACE "|" ";" font_list "${FONTS}")
foreach(font ${font_list})
  get_filename_component(name "${font}" NAME)
  if(name STREQUAL "NanumGothicBold.ttf")
    execute_process(
      COMMAND /usr/bin/python3 -m fontTools.subset "${font}" "--text-file=${TEXT_FILE}"
              --unicodes=U+0020-007E "--output-file=${FONT_DIR}/${name}"
      RESULT_VARIABLE subset_result OUTPUT_QUIET ERROR_QUIET)
    if(subset_result EQUAL 0)
      continue()
    endif()
  endif()
  file(COPY "${font}" DESTINATION "${FONT_DIR}")
endforeach()
