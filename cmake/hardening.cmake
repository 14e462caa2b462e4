# Release builds are hardened as Debian builds its own packages, with the flags that
# dpkg-buildflags gives for hardening=+all on Debian 13 for amd64: stack protector,
# _FORTIFY_SOURCE, format checks, stack clash and control-flow protection, RELRO with immediate
# binding, and a position-independent program. On Windows what MinGW-w64 supports of them: the
# stack protector and _FORTIFY_SOURCE (both through its static libssp, so no DLL is added).
# Not for the sanitizer and fuzz builds, nor for Debug builds (_FORTIFY_SOURCE needs
# optimisation).
#
# The list is the project's own, so the program does not depend on who builds it: not on
# whether dpkg is installed, nor on the builder's DEB_BUILD_OPTIONS (noopt drops
# _FORTIFY_SOURCE), DEB_*FLAGS_* or buildflags.conf. Where dpkg-buildflags is installed, its
# answer for a clean environment is compared with the list, and a flag it asks for beyond the
# list is reported. Then a test program is compiled with the list and the build's own flags
# (CMAKE_CXX_FLAGS, which a builder's CXXFLAGS fill) to check that the protections are in force.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU" OR VANTU_SANITIZE OR VANTU_BUILD_FUZZ)
  return()
endif()
set(release "$<NOT:$<CONFIG:Debug>>")

if(MINGW)
  add_compile_options("$<${release}:-fstack-protector-strong>")
  add_compile_definitions("$<${release}:_FORTIFY_SOURCE=2>")
  add_link_options("$<${release}:-fstack-protector-strong>")
  return()
endif()

set(VANTU_HARDENING_CPPFLAGS -Wdate-time -D_FORTIFY_SOURCE=2)
set(VANTU_HARDENING_CXXFLAGS -fstack-protector-strong -Wformat -Werror=format-security)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  # Debian 12's dpkg-buildflags leaves these two out; Debian 13's gives them for amd64.
  list(APPEND VANTU_HARDENING_CXXFLAGS -fstack-clash-protection -fcf-protection)
endif()
set(VANTU_HARDENING_LDFLAGS -Wl,-z,relro -Wl,-z,now)
add_compile_options("$<${release}:${VANTU_HARDENING_CPPFLAGS};${VANTU_HARDENING_CXXFLAGS}>")
add_link_options("$<${release}:${VANTU_HARDENING_LDFLAGS}>")
# PIE whatever the compiler's default: -fPIE and -pie for the programs.
include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

find_program(VANTU_DPKG_BUILDFLAGS dpkg-buildflags)
if(VANTU_DPKG_BUILDFLAGS)
  # An empty HOME and XDG_CONFIG_HOME: no buildflags.conf of the builder's.
  set(clean_home "${CMAKE_BINARY_DIR}/CMakeFiles/vantu-dpkg-home")
  file(MAKE_DIRECTORY "${clean_home}")
  get_filename_component(dpkg_dir "${VANTU_DPKG_BUILDFLAGS}" DIRECTORY)
  set(extra "")
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND env -i "PATH=${dpkg_dir}:/usr/bin:/bin" "HOME=${clean_home}"
              "XDG_CONFIG_HOME=${clean_home}" DEB_BUILD_MAINT_OPTIONS=hardening=+all
              "${VANTU_DPKG_BUILDFLAGS}" --get ${kind}
      OUTPUT_VARIABLE flags ERROR_VARIABLE error RESULT_VARIABLE result
      OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT result EQUAL 0)
      message(WARNING "dpkg-buildflags --get ${kind} failed (${result}): ${error}")
      break()
    endif()
    separate_arguments(flags UNIX_COMMAND "${flags}")
    # Debugging, optimisation and the file prefix map are the build type's and the project's.
    list(FILTER flags EXCLUDE REGEX "^(-g|-O[0-9gs]?|-f(file|debug)-prefix-map=.*)$")
    foreach(flag IN LISTS flags)
      if(NOT flag IN_LIST VANTU_HARDENING_${kind})
        list(APPEND extra "${kind}: ${flag}")
      endif()
    endforeach()
  endforeach()
  if(extra)
    list(JOIN extra "\n  " extra)
    message(WARNING "The hardening flags differ from dpkg-buildflags, which asks also for\n  "
      "${extra}\nThey are not used: the list in cmake/hardening.cmake decides.")
  endif()
endif()

# The protections in force with the flags a Release program gets, the builder's included, in
# the order its compiler sees them: CMAKE_CXX_FLAGS, the build type's, then the list above
# (compile options come last).
function(vantu_check_hardening)
  if(NOT CMAKE_BUILD_TYPE OR CMAKE_BUILD_TYPE STREQUAL "Debug")
    return()
  endif()
  string(TOUPPER "${CMAKE_BUILD_TYPE}" config)
  set(probe "${CMAKE_BINARY_DIR}/CMakeFiles/vantu-hardening.cpp")
  file(WRITE "${probe}" [=[
#include <cstdio>
#if !defined(__OPTIMIZE__) || !defined(_FORTIFY_SOURCE) || _FORTIFY_SOURCE < 2
#error "_FORTIFY_SOURCE (level 2 or more, with optimisation) is not in force"
#endif
#if !defined(__SSP_STRONG__) && !defined(__SSP_ALL__)
#error "the strong stack protector is not in force"
#endif
#if !defined(__PIE__)
#error "the program is not position-independent"
#endif
#if defined(__x86_64__) && !defined(__CET__)
#error "control-flow protection is not in force"
#endif
int main(int argc, char**) { std::printf("%d\n", argc); }
]=])
  separate_arguments(builder_flags UNIX_COMMAND "${CMAKE_CXX_FLAGS}")
  separate_arguments(config_flags UNIX_COMMAND "${CMAKE_CXX_FLAGS_${config}}")
  execute_process(
    COMMAND "${CMAKE_CXX_COMPILER}" ${builder_flags} ${config_flags}
            ${VANTU_HARDENING_CPPFLAGS} ${VANTU_HARDENING_CXXFLAGS} ${CMAKE_CXX_COMPILE_OPTIONS_PIE}
            -c "${probe}" -o "${probe}.o"
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    string(REGEX MATCHALL "#error[^\n]*" missing "${output}")
    list(REMOVE_DUPLICATES missing)
    list(JOIN missing "\n  " missing)
    if(NOT missing)
      set(missing "the test program did not compile:\n${output}")
    endif()
    message(FATAL_ERROR "The ${CMAKE_BUILD_TYPE} build would not be hardened:\n  ${missing}\n"
      "with CMAKE_CXX_FLAGS (from CXXFLAGS when first configured): ${CMAKE_CXX_FLAGS}\n"
      "and CMAKE_CXX_FLAGS_${config}: ${CMAKE_CXX_FLAGS_${config}}")
  endif()
endfunction()
vantu_check_hardening()
