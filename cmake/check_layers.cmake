# Fails when a file includes a header its module or program may not: run as
#   cmake -DMANIFEST=<build>/lodestar_layers.cmake -P check_layers.cmake
# The manifest (written by lsr_check_layers) names each module's files, public and internal
# headers and declared dependencies, and each client's files and what it may use.
#
# A library file may include headers of its own module and of the modules it declares, always by
# their lodestar/ path, and a module declares only modules it includes from. A client may include the public headers if it is a public client, and any
# header of the modules it uses. Every file under src/lodestar must belong to a module.
cmake_minimum_required(VERSION 3.25)
include(${MANIFEST})

set(problems "")

foreach(m IN LISTS LSR_MODULES)
  foreach(h IN LISTS LSR_MODULE_${m}_PUBLIC)
    set("owner_${h}" ${m})
    set("public_${h}" TRUE)
  endforeach()
  foreach(h IN LISTS LSR_MODULE_${m}_INTERNAL)
    set("owner_${h}" ${m})
  endforeach()
endforeach()

# The quoted includes of file, as written, and the library's headers included in angle brackets
# (as a program built against the installed library writes them).
function(quoted_includes file out)
  file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*(\"|<lodestar/)")
  set(paths "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]*)[\">].*" "\\1" path "${line}")
    list(APPEND paths ${path})
  endforeach()
  set(${out} ${paths} PARENT_SCOPE)
endfunction()

set(listed "")
foreach(m IN LISTS LSR_MODULES)
  list(APPEND listed ${LSR_MODULE_${m}_FILES})
  set(used "")
  foreach(file IN LISTS LSR_MODULE_${m}_FILES)
    quoted_includes(${file} paths)
    foreach(path IN LISTS paths)
      if(NOT path MATCHES "^lodestar/")
        string(APPEND problems "  ${file}: \"${path}\" is not a lodestar/ path\n")
      elseif(NOT DEFINED "owner_${path}")
        string(APPEND problems "  ${file}: \"${path}\" belongs to no module\n")
      else()
        set(owner ${owner_${path}})
        if(NOT owner STREQUAL m AND NOT owner IN_LIST LSR_MODULE_${m}_DEPS)
          string(APPEND problems "  ${file}: module ${m} includes \"${path}\" of module "
                 "${owner}, which it does not declare\n")
        endif()
        list(APPEND used ${owner})
      endif()
    endforeach()
  endforeach()
  foreach(dep IN LISTS LSR_MODULE_${m}_DEPS)
    if(NOT dep IN_LIST used)
      string(APPEND problems "  module ${m} declares ${dep} but includes nothing of it\n")
    endif()
  endforeach()
endforeach()

foreach(c IN LISTS LSR_CLIENTS)
  foreach(file IN LISTS LSR_CLIENT_${c}_FILES)
    quoted_includes(${file} paths)
    foreach(path IN LISTS paths)
      if(NOT path MATCHES "^lodestar/")
        continue() # the client's own headers
      endif()
      if(NOT DEFINED "owner_${path}")
        string(APPEND problems "  ${file}: \"${path}\" belongs to no module\n")
        continue()
      endif()
      set(owner ${owner_${path}})
      if(owner IN_LIST LSR_CLIENT_${c}_USES)
        continue()
      endif()
      if(NOT LSR_CLIENT_${c}_PUBLIC)
        string(APPEND problems "  ${file}: ${c} includes \"${path}\" of module ${owner}, "
               "which it does not use\n")
      elseif(NOT DEFINED "public_${path}")
        string(APPEND problems "  ${file}: ${c} includes \"${path}\", an internal header\n")
      endif()
    endforeach()
  endforeach()
endforeach()

file(GLOB_RECURSE on_disk ${LSR_LIBRARY_DIR}/*.h ${LSR_LIBRARY_DIR}/*.cpp)
foreach(file IN LISTS on_disk)
  if(NOT file IN_LIST listed)
    string(APPEND problems "  ${file}: in the library's folder but in no module\n")
  endif()
endforeach()

if(problems)
  message(FATAL_ERROR "The layers are broken:\n${problems}")
endif()
