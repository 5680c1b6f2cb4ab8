# Writes an "option" file holding 01 01 (effects and music on) unless one exists.
if(NOT EXISTS "${OPTION_FILE}")
  string(ASCII 1 ONE)
  file(WRITE "${OPTION_FILE}" "${ONE}${ONE}")
endif()
