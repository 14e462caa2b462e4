# Fails when FILE is larger than LIMIT bytes (unless ENFORCED is OFF: then it only says so);
# prints its size and the room left.
#   cmake -DFILE=<file> -DLIMIT=<bytes> [-DENFORCED=OFF] -P check-size.cmake
cmake_minimum_required(VERSION 3.25)
file(SIZE "${FILE}" size)
math(EXPR room "${LIMIT} - ${size}")
message("size: ${size} bytes, limit ${LIMIT}, room ${room}")
if(size GREATER LIMIT AND DEFINED ENFORCED AND NOT ENFORCED)
  message("size: ${FILE} is over the limit of ${LIMIT}, which this toolchain's build does not enforce yet")
elseif(size GREATER LIMIT)
  message(FATAL_ERROR "size: ${FILE} is ${size} bytes, over the limit of ${LIMIT}")
endif()
