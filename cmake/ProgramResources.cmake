# harvel_program_resources(<rc file> <program name> <icon colour RRGGBB>)
# A program's resource script is compiled by windres (RC is enabled at the top
# level). Its icon (resource 128) is drawn at build time by
# scripts/make-icon.py into the build tree, where the script includes it from;
# so is harvel_version.h, the project's version for the program's version
# record.
function(harvel_program_resources rc_file program color)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(icon ${CMAKE_CURRENT_BINARY_DIR}/${program}.ico)
  add_custom_command(
    OUTPUT ${icon}
    COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/make-icon.py ${icon} --color ${color}
    DEPENDS ${PROJECT_SOURCE_DIR}/scripts/make-icon.py
    COMMENT "Drawing ${program}'s icon")
  set(version_header ${CMAKE_CURRENT_BINARY_DIR}/harvel_version.h)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/harvel_version.h.in ${version_header})
  set_source_files_properties(${rc_file} PROPERTIES OBJECT_DEPENDS "${icon};${version_header}")
endfunction()
