# Fails when FILE is larger than LIMIT bytes; prints its size and the room left.
#   cmake -DFILE=<file> -DLIMIT=<bytes> -P check-size.cmake
cmake_minimum_required(VERSION 3.25)
file(SIZE "${FILE}" size)
math(EXPR room "${LIMIT} - ${size}")
message("size: ${size} bytes, limit ${LIMIT}, room ${room}")
if(size GREATER LIMIT)
  message(FATAL_ERROR "size: ${FILE} is ${size} bytes, over the limit of ${LIMIT}")
endif()
