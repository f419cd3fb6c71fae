# lsr_painted_archive(<target> <archive> <directory> [PAINT <mkassets option>...] FILES <name>...)
#   The archive packed from the pictures mkassets paints into the directory (the game's, or the
#   examples' with PAINT --examples), and a target that makes it.
#
# lsr_carry_archive(<target> <archive target> <archive>)
#   Appends the archive to the linked executable, as tarnpack does for any program that carries
#   its files: a new archive relinks the program, and every link appends it again.

function(lsr_painted_archive target archive directory)
  cmake_parse_arguments(PARSE_ARGV 3 arg "" "" "PAINT;FILES")
  add_custom_command(
    OUTPUT ${archive}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${directory}
    COMMAND $<TARGET_FILE:mkassets> ${arg_PAINT} ${directory}
    # Names are stored as given: pack from inside the directory.
    COMMAND ${CMAKE_COMMAND} -E chdir ${directory} $<TARGET_FILE:tarnpack> create ${archive}
            ${arg_FILES}
    DEPENDS mkassets tarnpack
    COMMENT "Painting and packing ${archive}"
    VERBATIM)
  add_custom_target(${target} DEPENDS ${archive})
endfunction()

function(lsr_carry_archive target archive_target archive)
  add_dependencies(${target} ${archive_target})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${archive})
  add_custom_command(
    TARGET ${target} POST_BUILD
    COMMAND $<TARGET_FILE:tarnpack> append $<TARGET_FILE:${target}> ${archive}
    VERBATIM)
endfunction()
