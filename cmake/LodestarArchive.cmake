# lsr_carry_archive(<target> <archive target> <archive file>)
#   Appends the archive to the linked executable, as tarnpack does for any program that carries
#   its files: a new archive relinks the program, and every link appends it again.
function(lsr_carry_archive target archive_target archive)
  add_dependencies(${target} ${archive_target})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${archive})
  add_custom_command(
    TARGET ${target} POST_BUILD
    COMMAND $<TARGET_FILE:tarnpack> append $<TARGET_FILE:${target}> ${archive}
    VERBATIM)
endfunction()
