# In the Windows build: the mutation fuzzer of the readers that only build
# there, and the short fuzzing pass of every target as CTest entries (seed
# corpus plus 20 seconds each). scripts/test.sh builds the native targets
# and the seeds (scripts/fuzz.sh --build-only) before CTest runs.
include(${CMAKE_CURRENT_LIST_DIR}/targets.cmake)
set(JOV_FUZZ_DIR ${CMAKE_SOURCE_DIR}/build/fuzz CACHE PATH "The native fuzzing tree (scripts/fuzz.sh)")
set(JOV_FUZZ_CI_SECONDS 20 CACHE STRING "Seconds of fuzzing per target in the short pass")

add_executable(jov_fuzz_wine wine/FuzzMain.cpp wine/MutationFuzzer.cpp wine/ChatTextTarget.cpp
               wine/AccountsDataTarget.cpp ${CMAKE_SOURCE_DIR}/tests/chat/ChatFakes.cpp)
target_link_libraries(jov_fuzz_wine PRIVATE jov_core)
target_include_directories(jov_fuzz_wine PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_options(jov_fuzz_wine PRIVATE -municode)
set_target_properties(jov_fuzz_wine PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${JOV_OUT})
if(JOV_BENCH)
  set_target_properties(jov_fuzz_wine PROPERTIES EXCLUDE_FROM_ALL ON)
endif()
jov_warnings(jov_fuzz_wine)

foreach(_target ${JOV_FUZZ_NATIVE_TARGETS})
  add_test(NAME fuzz_${_target}
           COMMAND ${CMAKE_SOURCE_DIR}/scripts/fuzz.sh --no-build --ci --seconds ${JOV_FUZZ_CI_SECONDS} ${_target})
  set_tests_properties(fuzz_${_target} PROPERTIES TIMEOUT 300 ENVIRONMENT JOV_FUZZ_DIR=${JOV_FUZZ_DIR})
endforeach()

foreach(_target ${JOV_FUZZ_WINE_TARGETS})
  set(_findings ${JOV_FUZZ_DIR}/findings/${_target})
  file(MAKE_DIRECTORY ${_findings})
  add_test(NAME fuzz_${_target}
           COMMAND jov_fuzz_wine ${_target} --seconds ${JOV_FUZZ_CI_SECONDS}
                   --dict Z:${CMAKE_CURRENT_SOURCE_DIR}/dict/${_target}.dict --findings Z:${_findings}
                   --reproduce "cd ${JOV_OUT} && ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh jov_fuzz_wine.exe ${_target} --run Z:${_findings}/"
                   Z:${CMAKE_CURRENT_SOURCE_DIR}/corpus/${_target} Z:${JOV_FUZZ_DIR}/seeds/${_target}
           WORKING_DIRECTORY ${JOV_OUT})
  set_tests_properties(fuzz_${_target} PROPERTIES TIMEOUT 300)
endforeach()
