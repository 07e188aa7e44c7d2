# zimbel_option_docs(PROGRAM TARGET MAN_VAR COMPLETION_VAR): PROGRAM's manual
# page (PROGRAM.1.gz) and bash completion (PROGRAM.bash), written at build
# time by its docs tool PROGRAM-docs from the templates PROGRAM.1.in and
# PROGRAM.bash.in beside the calling CMakeLists.txt; TARGET builds both. The
# two paths land in MAN_VAR and COMPLETION_VAR.
function(zimbel_option_docs program target manVar completionVar)
  # The build's date, or SOURCE_DATE_EPOCH's for a reproducible package.
  string(TIMESTAMP manDate "%Y-%m-%d" UTC)
  set(man ${CMAKE_CURRENT_BINARY_DIR}/${program}.1)
  set(completion ${CMAKE_CURRENT_BINARY_DIR}/${program}.bash)
  add_custom_command(OUTPUT ${man}.gz
    COMMAND ${program}-docs man ${CMAKE_CURRENT_SOURCE_DIR}/${program}.1.in ${manDate} ${man}
    COMMAND gzip -9nf ${man}
    DEPENDS ${program}-docs ${program}.1.in
    VERBATIM)
  add_custom_command(OUTPUT ${completion}
    COMMAND ${program}-docs completion ${CMAKE_CURRENT_SOURCE_DIR}/${program}.bash.in ${completion}
    DEPENDS ${program}-docs ${program}.bash.in
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${man}.gz ${completion})
  set(${manVar} ${man}.gz PARENT_SCOPE)
  set(${completionVar} ${completion} PARENT_SCOPE)
endfunction()
