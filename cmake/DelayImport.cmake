# Import libraries that load their DLL at the first call of one of the named
# functions instead of at start: for system DLLs that only some sessions use
# (secure sockets, the version check), whose loading costs start time and
# memory in every other one.
#   jov_delay_import(<variable> <dll> <function>...)
# sets <variable> to the library to link in place of the DLL's own.
function(jov_delay_import variable dll)
  get_filename_component(_name ${dll} NAME_WE)
  string(TOLOWER ${_name} _name)
  set(_dir ${CMAKE_BINARY_DIR}/delay-imports)
  set(_def ${_dir}/${_name}.def)
  set(_lib ${_dir}/lib${_name}_delay.a)
  list(JOIN ARGN "\n" _exports)
  file(CONFIGURE OUTPUT ${_def} CONTENT "LIBRARY \"${dll}\"\nEXPORTS\n${_exports}\n" @ONLY)
  if(NOT EXISTS ${_lib} OR ${_def} IS_NEWER_THAN ${_lib})
    execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${_def} --dllname ${dll} --output-delaylib ${_lib}
                    RESULT_VARIABLE _failed)
    if(_failed)
      message(FATAL_ERROR "cannot make the delay-import library of ${dll}")
    endif()
  endif()
  set(${variable} ${_lib} PARENT_SCOPE)
endfunction()
