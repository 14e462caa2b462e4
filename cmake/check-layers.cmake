# Checks the layer rules of docs/ARCHITECTURE.md over every #include line under SOURCE_DIR/src:
#   ports/                 the standard library only
#   options/               ports/, options/ and the standard library
#   config/                ports/, options/, config/ and the standard library
#   window/                ports/, options/, config/, window/ and the standard library; never
#                          frontend/
#   platform/              ports/, options/, platform/ and any system header; never window/,
#                          never frontend/, never a toolkit (Qt) header
#   frontend/              anything
# A file in a folder of no layer is itself a fault: each file under src/ stands in one layer.
# Prints each forbidden include as FILE:LINE: what, and the count; fails when there is one.
#   cmake -DSOURCE_DIR=<checkout> -P check-layers.cmake
cmake_minimum_required(VERSION 3.25)
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "check-layers: set SOURCE_DIR to the folder that holds src/")
endif()

# The C++20 standard library, C's headers in their C++ form among them: all the core may include
# with angle brackets.
set(standard_headers
  algorithm any array atomic barrier bit bitset cassert cctype cerrno cfenv cfloat charconv
  chrono cinttypes climits clocale cmath codecvt compare complex concepts condition_variable
  coroutine csetjmp csignal cstdarg cstddef cstdint cstdio cstdlib cstring ctime cuchar cwchar
  cwctype deque exception execution expected filesystem format forward_list fstream functional
  future initializer_list iomanip ios iosfwd iostream istream iterator latch limits list locale
  map memory memory_resource mutex new numbers numeric optional ostream queue random ranges
  ratio regex scoped_allocator semaphore set shared_mutex source_location span sstream stack
  stdexcept stop_token streambuf string string_view syncstream system_error thread tuple
  type_traits typeindex typeinfo unordered_map unordered_set utility valarray variant vector
  version)

# The layer a file belongs to and the project folders it may include, by its path under src/.
function(layer_of path out_layer out_allowed)
  if(path MATCHES "^ports/")
    set(layer core)
    set(allowed "")
  elseif(path MATCHES "^options/")
    set(layer core)
    set(allowed ports options)
  elseif(path MATCHES "^config/")
    set(layer core)
    set(allowed ports options config)
  elseif(path MATCHES "^window/")
    set(layer core)
    set(allowed ports options config window)
  elseif(path MATCHES "^platform/")
    set(layer platform)
    set(allowed ports options platform)
  elseif(path MATCHES "^frontend/")
    set(layer front)
    set(allowed "")
  else()
    set(layer none)
    set(allowed "")
  endif()
  set(${out_layer} ${layer} PARENT_SCOPE)
  set(${out_allowed} "${allowed}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}/src
  ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.hpp ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/src/*.cc)
list(SORT sources)
set(violations 0)
foreach(source IN LISTS sources)
  layer_of(${source} layer allowed)
  if(layer STREQUAL "front")
    continue()
  elseif(layer STREQUAL "none")
    message("src/${source}: in no layer's folder")
    math(EXPR violations "${violations} + 1")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/src/${source} lines)
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*([<\"])([^>\"]+)[>\"]")
      continue()
    endif()
    set(bracket "${CMAKE_MATCH_1}")
    set(header "${CMAKE_MATCH_2}")
    set(problem "")
    if(bracket STREQUAL "\"")
      # A project header: its first folder names its layer.
      string(REGEX REPLACE "/.*" "" folder "${header}")
      if(NOT header MATCHES "/")
        set(problem "a header named without its folder")
      elseif(NOT folder IN_LIST allowed)
        set(problem "may not include ${folder}/")
      endif()
    elseif(layer STREQUAL "core")
      if(NOT header IN_LIST standard_headers)
        set(problem "the core includes no toolkit or system header")
      endif()
    elseif(header MATCHES "^Q")
      set(problem "the platform includes no toolkit header")
    endif()
    if(problem)
      message("src/${source}:${number}: ${header}: ${problem}")
      math(EXPR violations "${violations} + 1")
    endif()
  endforeach()
endforeach()

list(LENGTH sources checked)
message("layers: ${violations} forbidden includes in ${checked} files")
if(violations GREATER 0)
  message(FATAL_ERROR "layers: the includes above break the rules of docs/ARCHITECTURE.md")
endif()
