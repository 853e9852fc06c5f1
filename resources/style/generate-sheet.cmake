# Writes one theme's style sheet: the palette's opening comment, then the
# shared template with every @token replaced by the palette's colour.
#
#   cmake -DTEMPLATE=template.qss -DPALETTE=palettes/X.palette -DOUTPUT=X.qss -P generate-sheet.cmake
#
# A token the palette does not define is left in place with a warning; the
# style sheet test fails on it, so a missing colour never ships unnoticed.

cmake_minimum_required(VERSION 3.21)

foreach(var TEMPLATE PALETTE OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "generate-sheet: ${var} not set")
  endif()
endforeach()

file(READ "${TEMPLATE}" template)
file(READ "${PALETTE}" palette)

# The sheet opens with the palette's comment instead of the template's.
string(FIND "${palette}" "*/" head_end)
if(head_end LESS 0)
  message(FATAL_ERROR "generate-sheet: ${PALETTE} has no opening comment")
endif()
math(EXPR head_end "${head_end} + 2")
string(SUBSTRING "${palette}" 0 ${head_end} header)
string(SUBSTRING "${palette}" ${head_end} -1 entries)

string(FIND "${template}" "*/" body_start)
if(body_start LESS 0)
  message(FATAL_ERROR "generate-sheet: ${TEMPLATE} has no opening comment")
endif()
math(EXPR body_start "${body_start} + 2")
string(SUBSTRING "${template}" ${body_start} -1 rest)

# "name: value;" lines; the value runs to the semicolon (kept out of the
# match, as CMake lists are separated by semicolons).
string(REGEX MATCHALL "[a-z][a-z0-9-]*[ \t]*:[^;\n]+" lines "${entries}")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^([a-z][a-z0-9-]*)[ \t]*:[ \t]*(.*[^ \t])[ \t]*$" "\\1" name "${line}")
  string(REGEX REPLACE "^([a-z][a-z0-9-]*)[ \t]*:[ \t]*(.*[^ \t])[ \t]*$" "\\2" value "${line}")
  set("colour_${name}" "${value}")
endforeach()

# Walk the template token by token, so "@accent" never eats the start of
# "@accent-hover".
set(sheet "${header}")
while(TRUE)
  string(REGEX MATCH "@[a-z][a-z0-9-]*" token "${rest}")
  if(NOT token)
    break()
  endif()
  string(FIND "${rest}" "${token}" at)
  string(SUBSTRING "${rest}" 0 ${at} before)
  string(LENGTH "${token}" token_len)
  math(EXPR after "${at} + ${token_len}")
  string(SUBSTRING "${rest}" ${after} -1 rest)
  string(SUBSTRING "${token}" 1 -1 name)
  if(DEFINED "colour_${name}")
    string(APPEND sheet "${before}${colour_${name}}")
  else()
    message(WARNING "generate-sheet: ${PALETTE} does not define @${name}")
    string(APPEND sheet "${before}${token}")
  endif()
endwhile()
string(APPEND sheet "${rest}")

file(WRITE "${OUTPUT}.tmp" "${sheet}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
