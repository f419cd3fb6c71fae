# The library's modules as CMake targets, and the check that keeps each one to its layer.
#
# lsr_module(<name> [DEPS <module>...] [SOURCES <file>...] [HEADERS <file>...]
#            [INTERNAL <file>...] [GENERATED <file>...])
#   One module of the library, its files named relative to src/lodestar. HEADERS are public (the
#   umbrella includes them, programs may use them); INTERNAL headers stay in the library.
#   GENERATED are public headers the build writes, named relative to LSR_GENERATED_DIR/lodestar.
#   DEPS are the modules whose headers it includes, and the only ones it may; each must be
#   declared before it, so the order of the calls is the order of the layers and no two modules
#   can depend on each other.
#   A module with sources is an object library lodestar_<name>; one without is an interface one.
#
# lsr_client(<name> FILES <file>... [PUBLIC] [USES <module or client>...])
#   Code outside the library (platforms, the device, the game, tools, benchmarks), its files
#   named with their full paths: it may include the public headers when PUBLIC is given, any
#   header of the modules it USES, and the headers of the clients it USES. A client it uses must
#   be declared before it, so that clients too stand in layers.
#
# lsr_files(<out> <folder> <name>...)
#   The named files of a folder below the calling CMakeLists.txt, as full paths.
#
# lsr_check_layers()
#   After every module and client is declared: writes their manifest, checks it now (configure
#   fails on a stray include) and again at every build where one of the files has changed.

set(LSR_LIBRARY_DIR ${PROJECT_SOURCE_DIR}/src/lodestar)
set(LSR_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)

function(lsr_files out folder)
  cmake_path(APPEND CMAKE_CURRENT_SOURCE_DIR ${folder} OUTPUT_VARIABLE dir)
  cmake_path(NORMAL_PATH dir)
  string(REGEX REPLACE "/$" "" dir ${dir})
  list(TRANSFORM ARGN PREPEND ${dir}/ OUTPUT_VARIABLE files)
  set(${out} ${files} PARENT_SCOPE)
endfunction()

function(lsr_module name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "DEPS;SOURCES;HEADERS;INTERNAL;GENERATED")
  foreach(dep IN LISTS arg_DEPS)
    get_property(known GLOBAL PROPERTY LSR_MODULES)
    if(NOT dep IN_LIST known)
      message(FATAL_ERROR "module ${name}: ${dep} is not a module declared below it")
    endif()
  endforeach()
  set(files ${arg_SOURCES} ${arg_HEADERS} ${arg_INTERNAL})
  list(TRANSFORM files PREPEND ${LSR_LIBRARY_DIR}/)
  list(TRANSFORM arg_HEADERS PREPEND ${LSR_LIBRARY_DIR}/ OUTPUT_VARIABLE public_files)
  list(TRANSFORM arg_GENERATED PREPEND ${LSR_GENERATED_DIR}/lodestar/ OUTPUT_VARIABLE generated)
  list(APPEND files ${generated})
  list(APPEND public_files ${generated})
  if(arg_SOURCES)
    add_library(lodestar_${name} OBJECT ${files})
    set(scope PUBLIC)
  else()
    add_library(lodestar_${name} INTERFACE ${files})
    set(scope INTERFACE)
  endif()
  target_include_directories(lodestar_${name} ${scope} ${PROJECT_SOURCE_DIR}/src
                             ${LSR_GENERATED_DIR})
  list(TRANSFORM arg_DEPS PREPEND lodestar_ OUTPUT_VARIABLE dep_targets)
  target_link_libraries(lodestar_${name} ${scope} ${dep_targets})

  set_property(GLOBAL APPEND PROPERTY LSR_MODULES ${name})
  set_property(GLOBAL PROPERTY LSR_MODULE_${name}_DEPS ${arg_DEPS})
  set_property(GLOBAL PROPERTY LSR_MODULE_${name}_FILES ${files})
  set_property(GLOBAL PROPERTY LSR_MODULE_${name}_OBJECTS ${arg_SOURCES})
  list(APPEND arg_HEADERS ${arg_GENERATED})
  list(TRANSFORM arg_HEADERS PREPEND lodestar/)
  list(TRANSFORM arg_INTERNAL PREPEND lodestar/)
  set_property(GLOBAL PROPERTY LSR_MODULE_${name}_PUBLIC ${arg_HEADERS})
  # The public headers' files, in the order of their names above: what an install copies.
  set_property(GLOBAL PROPERTY LSR_MODULE_${name}_PUBLIC_FILES ${public_files})
  set_property(GLOBAL PROPERTY LSR_MODULE_${name}_INTERNAL ${arg_INTERNAL})
endfunction()

function(lsr_client name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "PUBLIC" "" "FILES;USES")
  get_property(modules GLOBAL PROPERTY LSR_MODULES)
  get_property(clients GLOBAL PROPERTY LSR_CLIENTS)
  foreach(used IN LISTS arg_USES)
    if(NOT used IN_LIST modules AND NOT used IN_LIST clients)
      message(FATAL_ERROR "client ${name}: ${used} is neither a module nor a client declared "
                          "before it")
    endif()
  endforeach()
  set_property(GLOBAL APPEND PROPERTY LSR_CLIENTS ${name})
  set_property(GLOBAL PROPERTY LSR_CLIENT_${name}_FILES ${arg_FILES})
  set_property(GLOBAL PROPERTY LSR_CLIENT_${name}_PUBLIC ${arg_PUBLIC})
  set_property(GLOBAL PROPERTY LSR_CLIENT_${name}_USES ${arg_USES})
endfunction()

function(lsr_check_layers)
  get_property(modules GLOBAL PROPERTY LSR_MODULES)
  get_property(clients GLOBAL PROPERTY LSR_CLIENTS)
  set(manifest "set(LSR_LIBRARY_DIR \"${LSR_LIBRARY_DIR}\")\n")
  string(APPEND manifest "set(LSR_MODULES \"${modules}\")\nset(LSR_CLIENTS \"${clients}\")\n")
  set(all_files "")
  # Each module's and client's properties become variables of the same names.
  foreach(entry IN LISTS modules clients)
    if(entry IN_LIST modules)
      set(kind MODULE)
    else()
      set(kind CLIENT)
    endif()
    foreach(field DEPS FILES PUBLIC PUBLIC_FILES INTERNAL USES)
      get_property(value GLOBAL PROPERTY LSR_${kind}_${entry}_${field})
      string(APPEND manifest "set(LSR_${kind}_${entry}_${field} \"${value}\")\n")
    endforeach()
    get_property(files GLOBAL PROPERTY LSR_${kind}_${entry}_FILES)
    list(APPEND all_files ${files})
  endforeach()

  set(manifest_file ${CMAKE_BINARY_DIR}/lodestar_layers.cmake)
  file(CONFIGURE OUTPUT ${manifest_file} CONTENT "${manifest}" @ONLY)
  set(script ${PROJECT_SOURCE_DIR}/cmake/check_layers.cmake)
  execute_process(COMMAND ${CMAKE_COMMAND} -DMANIFEST=${manifest_file} -P ${script}
                  RESULT_VARIABLE result ERROR_VARIABLE problems)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${problems}")
  endif()

  set(stamp ${CMAKE_BINARY_DIR}/lodestar_layers.stamp)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DMANIFEST=${manifest_file} -P ${script}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${all_files} ${manifest_file} ${script}
    COMMENT "Checking that every module includes only from the modules it declares"
    VERBATIM)
  add_custom_target(lodestar_layers ALL DEPENDS ${stamp})
  add_dependencies(lodestar lodestar_layers)
endfunction()
