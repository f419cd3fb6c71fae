# Fails when docs/API.md leaves out a name the public headers declare, or names a function they
# do not: cmake -DMANIFEST=<build>/lodestar_layers.cmake -DAPI=<docs/API.md> -P check_api.cmake
#
# Declarations start in the first column (the code is formatted so). A function, or a macro with
# arguments, must appear as `name( ; a record type, alias, constant or global as `name followed by
# anything but a letter, digit or underscore.
cmake_minimum_required(VERSION 3.25)
include(${MANIFEST})

set(identifier "[A-Za-z_][A-Za-z0-9_]*")
set(functions "")
set(others "")

foreach(module IN LISTS LSR_MODULES)
  foreach(header IN LISTS LSR_MODULE_${module}_PUBLIC_FILES)
    file(READ ${header} text)
    # Semicolons would split CMake's lists.
    string(REPLACE ";" "@SEMI@" text "\n${text}")
    string(REGEX MATCHALL "\n[^ \n/}][^\n]*" lines "${text}")
    foreach(line IN LISTS lines)
      string(STRIP "${line}" line)
      string(REGEX REPLACE "^\\[\\[[a-z_]+\\]\\] " "" line "${line}")
      if(line MATCHES "^(#pragma|#include|namespace|static_assert|template|// )")
        continue()
      elseif(line MATCHES "^#define (${identifier})\\(")
        list(APPEND functions ${CMAKE_MATCH_1})
      elseif(line MATCHES "^using (${identifier}) =")
        list(APPEND others ${CMAKE_MATCH_1})
      elseif(line MATCHES "^(struct|class) (${identifier})")
        list(APPEND others ${CMAKE_MATCH_2})
      elseif(line MATCHES "^inline constexpr [^=(]* (${identifier})(\\[[^]]*\\])? =")
        list(APPEND others ${CMAKE_MATCH_1})
      elseif(line MATCHES "^extern ")
        # Every declarator of the line: template arguments and array bounds out of the way,
        # then the last word of each comma-separated part.
        string(REGEX REPLACE "<[^<>]*>" "" line "${line}")
        string(REGEX REPLACE "<[^<>]*>" "" line "${line}")
        string(REGEX REPLACE "\\[[^]]*\\]" "" line "${line}")
        string(REGEX REPLACE "@SEMI@.*" "" line "${line}")
        string(REPLACE "," ";" parts "${line}")
        foreach(part IN LISTS parts)
          string(REGEX MATCH "(${identifier})[ ]*$" found "${part}")
          list(APPEND others ${CMAKE_MATCH_1})
        endforeach()
      elseif(line MATCHES "(${identifier})\\(")
        list(APPEND functions ${CMAKE_MATCH_1})
      else()
        message(FATAL_ERROR "${header}: a declaration this check does not read:\n  ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()

file(READ ${API} api)
set(missing "")
foreach(name IN LISTS functions)
  string(FIND "${api}" "`${name}(" at)
  if(at EQUAL -1)
    list(APPEND missing "${name}()")
  endif()
endforeach()
foreach(name IN LISTS others)
  if(NOT api MATCHES "`${name}([^A-Za-z0-9_]|$)")
    list(APPEND missing ${name})
  endif()
endforeach()

# And the other way: a function the reference shows that no public header declares.
string(REGEX MATCHALL "`${identifier}\\(" shown "${api}")
set(stale "")
foreach(entry IN LISTS shown)
  string(REGEX REPLACE "^`(.*)\\($" "\\1" name "${entry}")
  if(NOT name IN_LIST functions)
    list(APPEND stale "${name}()")
  endif()
endforeach()
list(REMOVE_DUPLICATES stale)

list(LENGTH functions function_count)
list(LENGTH others other_count)
if(missing OR stale)
  list(JOIN missing "\n  " missing_lines)
  list(JOIN stale "\n  " stale_lines)
  message(FATAL_ERROR "docs/API.md is out of step with the public headers.\n"
          "Declared but not in the reference:\n  ${missing_lines}\n"
          "In the reference but declared nowhere:\n  ${stale_lines}")
endif()
message(STATUS "docs/API.md covers ${function_count} functions and ${other_count} other names")
