# The launcher window's title and places, read from its layout table (src/window/layout.h) into
# layout.sh in the build folder, beside the launcher, for the test and benchmark scripts: they
# source it rather than write the title or a width again. Lengths stay in twips, as in the
# table; the scripts convert them at the DPI they run at. Any change to the table configures
# the build again; a table this reading does not understand stops the configuration.
set(layout_header "${PROJECT_SOURCE_DIR}/src/window/layout.h")
set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  "${layout_header}")
file(READ "${layout_header}" layout_text)

set(s "[ \t\r\n]*")
set(n "${s}([0-9]+),")
if(NOT layout_text MATCHES "WindowDesign kForm{${s}\"[^\"]*\",${s}\"([^\"]*)\",${n}${n}${n}${n}")
  message(FATAL_ERROR "cannot read the window's design (kForm) in ${layout_header}")
endif()
string(REPLACE "'" "'\\''" title "${CMAKE_MATCH_1}")
set(layout_shell "# The window's layout (src/window/layout.h), written by CMake; lengths in twips.
MAIN_TITLE='${title}'
CLIENT_WIDTH_TWIPS=${CMAKE_MATCH_2} CLIENT_HEIGHT_TWIPS=${CMAKE_MATCH_3}
NARROW_WIDTH_TWIPS=${CMAKE_MATCH_4} WIDE_WIDTH_TWIPS=${CMAKE_MATCH_5}
# Each control of the window itself (not of a frame): left top width height.
declare -gA CONTROL_TWIPS=(
")
string(REGEX MATCHALL "{\"[A-Za-z0-9]+\", *Kind::[A-Za-z]+, *\"[^\"]*\", *\"Form1\",${n}${n}${n}${n}"
  rows "${layout_text}")
if(NOT rows)
  message(FATAL_ERROR "cannot read the controls' design (kControls) in ${layout_header}")
endif()
foreach(row IN LISTS rows)
  string(REGEX MATCH "{\"([^\"]+)\".*\"Form1\",${n}${n}${n}${n}" row "${row}")
  string(APPEND layout_shell "    [${CMAKE_MATCH_1}]='${CMAKE_MATCH_2} ${CMAKE_MATCH_3} "
    "${CMAKE_MATCH_4} ${CMAKE_MATCH_5}'\n")
endforeach()
file(CONFIGURE OUTPUT "${CMAKE_BINARY_DIR}/layout.sh" CONTENT "${layout_shell})\n" @ONLY)
