# qx_embed(<name> NAMESPACE <ns> FILES id=path ...)
# Generates a source file holding each file's bytes as a char array, plus a header
# declaring `std::string_view <id>()` in namespace <ns>.
function(qx_embed name)
  cmake_parse_arguments(ARG "" "NAMESPACE" "FILES" ${ARGN})
  set(out_dir ${CMAKE_BINARY_DIR}/generated/${name})
  set(header ${out_dir}/qx_embedded_resources.hpp)
  set(source ${out_dir}/${name}.cpp)
  set(deps)
  set(pairs)
  foreach(entry ${ARG_FILES})
    string(REPLACE "=" ";" parts ${entry})
    list(GET parts 0 id)
    list(GET parts 1 path)
    list(APPEND deps ${path})
    list(APPEND pairs "${id}=${path}")
  endforeach()
  string(REPLACE ";" "|" pairs_arg "${pairs}")
  foreach(unused IN ITEMS x)
  endforeach()
  add_custom_command(
    OUTPUT ${source} ${header}
    COMMAND ${CMAKE_COMMAND} -DOUT_SOURCE=${source} -DOUT_HEADER=${header}
            -DNAMESPACE=${ARG_NAMESPACE} "-DPAIRS=${pairs_arg}"
            -P ${CMAKE_SOURCE_DIR}/cmake/EmbedWrite.cmake
    DEPENDS ${deps} ${CMAKE_SOURCE_DIR}/cmake/EmbedWrite.cmake
    COMMENT "Embedding resources ${name}"
    VERBATIM)
  set(${name}_SOURCES ${source} ${header} PARENT_SCOPE)
  set(${name}_INCLUDE ${out_dir} PARENT_SCOPE)
endfunction()
