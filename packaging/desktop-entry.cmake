# Run at install time: writes the desktop entry with the launcher's and the
# icon's absolute paths under the prefix actually installed to, so the entry
# works for any --prefix, on the PATH or not.
set(launcher "${CMAKE_INSTALL_PREFIX}/${SWAPSPRINT_BINDIR}/swapsprint")
set(DESKTOP_ICON "${CMAKE_INSTALL_PREFIX}/${SWAPSPRINT_ICON}")

# Exec quoting: inside double quotes, backslash, quote, backquote and dollar take
# a backslash; then the file's own string escaping doubles every backslash, and
# a percent sign is doubled as it would start a field code.
string(REPLACE "\\" "\\\\" quoted "${launcher}")
string(REPLACE "\"" "\\\"" quoted "${quoted}")
string(REPLACE "`" "\\`" quoted "${quoted}")
string(REPLACE "$" "\\$" quoted "${quoted}")
set(quoted "\"${quoted}\"")
string(REPLACE "\\" "\\\\" quoted "${quoted}")
string(REPLACE "%" "%%" DESKTOP_EXEC "${quoted}")
string(REPLACE "\\" "\\\\" DESKTOP_ICON "${DESKTOP_ICON}")

configure_file("${SWAPSPRINT_DESKTOP_IN}" "${SWAPSPRINT_DESKTOP_OUT}" @ONLY)
file(INSTALL "${SWAPSPRINT_DESKTOP_OUT}"
     DESTINATION "${CMAKE_INSTALL_PREFIX}/${SWAPSPRINT_APPLICATIONS_DIR}")
