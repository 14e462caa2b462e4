# The launcher window's title and places from its layout table (src/window/layout.h), in
# layout.sh in the build folder, beside the launcher, for the test and benchmark scripts: they
# source it rather than write the title or a width again. A small program linked with the core
# prints it from the table itself (layout::layoutShell). The program must run here, on the build
# machine, even when the launcher is cross-built for Windows: so it is built while the build is
# configured, as a project of its own (cmake/layout-shell) with the build machine's compiler, in
# a folder of the build folder that later configurations build again incrementally. A change to
# the files the printer reads the table from configures the build again.
set(layout_shell_source "${PROJECT_SOURCE_DIR}/cmake/layout-shell")
set(layout_shell_build "${CMAKE_BINARY_DIR}/layout-shell")
set_property(DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  "${layout_shell_source}/CMakeLists.txt"
  "${layout_shell_source}/print_layout_shell.cpp"
  "${PROJECT_SOURCE_DIR}/src/window/layout.h"
  "${PROJECT_SOURCE_DIR}/src/window/layout_shell.h"
  "${PROJECT_SOURCE_DIR}/src/window/layout_shell.cpp"
  "${PROJECT_SOURCE_DIR}/src/options/option_table.h"
  "${PROJECT_SOURCE_DIR}/src/ports/controls.h")

# A native build gives the printer its own compiler; a cross build leaves it the build machine's
# default one, never the cross-compiler of the toolchain file.
set(layout_shell_compiler)
if(NOT CMAKE_CROSSCOMPILING)
  set(layout_shell_compiler "-DCMAKE_CXX_COMPILER=${CMAKE_CXX_COMPILER}")
endif()
execute_process(
  COMMAND "${CMAKE_COMMAND}" -S "${layout_shell_source}" -B "${layout_shell_build}"
          -G "${CMAKE_GENERATOR}" ${layout_shell_compiler}
  OUTPUT_VARIABLE layout_shell_log ERROR_VARIABLE layout_shell_log RESULT_VARIABLE failed)
if(NOT failed)
  execute_process(
    COMMAND "${CMAKE_COMMAND}" --build "${layout_shell_build}" --target print-layout-shell
    OUTPUT_VARIABLE layout_shell_log ERROR_VARIABLE layout_shell_log RESULT_VARIABLE failed)
endif()
if(NOT failed)
  execute_process(
    COMMAND "${layout_shell_build}/print-layout-shell"
    OUTPUT_FILE "${layout_shell_build}/layout.sh" RESULT_VARIABLE failed)
endif()
if(failed)
  message(FATAL_ERROR "cannot print layout.sh from the layout table (${failed}):\n"
                      "${layout_shell_log}")
endif()
file(COPY_FILE "${layout_shell_build}/layout.sh" "${CMAKE_BINARY_DIR}/layout.sh"
     ONLY_IF_DIFFERENT)
