# harvel_program_resources(<rc file> <program name> <icon colour RRGGBB>
#                          [COMMON_CONTROLS_6])
# A program's resource script is compiled by windres (RC is enabled at the top
# level). Its icon (resource 128) is drawn at build time by
# scripts/make-icon.py into the build tree, where the script includes it from;
# so is harvel_version.h, the project's version for the program's version
# record, and <program>.manifest, its application manifest (resource 1 of type
# RT_MANIFEST), which asks for the themed common controls with COMMON_CONTROLS_6.
function(harvel_program_resources rc_file program color)
  cmake_parse_arguments(arg "COMMON_CONTROLS_6" "" "" ${ARGN})
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(icon ${CMAKE_CURRENT_BINARY_DIR}/${program}.ico)
  add_custom_command(
    OUTPUT ${icon}
    COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/scripts/make-icon.py ${icon} --color ${color}
    DEPENDS ${PROJECT_SOURCE_DIR}/scripts/make-icon.py
    COMMENT "Drawing ${program}'s icon")
  set(version_header ${CMAKE_CURRENT_BINARY_DIR}/harvel_version.h)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/harvel_version.h.in ${version_header})
  set(HARVEL_MANIFEST_PROGRAM ${program})
  set(HARVEL_MANIFEST_DEPENDENCY "")
  if(arg_COMMON_CONTROLS_6)
    string(CONCAT HARVEL_MANIFEST_DEPENDENCY "\n  <dependency>\n    <dependentAssembly>\n"
      "      <assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" "
      "version=\"6.0.0.0\" processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" "
      "language=\"*\"/>\n    </dependentAssembly>\n  </dependency>")
  endif()
  set(manifest ${CMAKE_CURRENT_BINARY_DIR}/${program}.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/program.manifest.in ${manifest} @ONLY)
  set_source_files_properties(${rc_file} PROPERTIES OBJECT_DEPENDS "${icon};${version_header};${manifest}")
endfunction()
