# Runs one fuzz target for a fixed number of runs from its seed corpus. What it finds on the way
# goes to a scratch folder emptied first, so the seeds in the source tree stay as they are and
# every run starts alike.
foreach(var FUZZER SEEDS WORK RUNS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_short.cmake needs -D${var}=...")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/corpus" "${WORK}/artifacts")
execute_process(
  COMMAND "${FUZZER}" -runs=${RUNS} -seed=1 -print_final_stats=1
          "-artifact_prefix=${WORK}/artifacts/" "${WORK}/corpus" "${SEEDS}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${result}); the input is in ${WORK}/artifacts/")
endif()
