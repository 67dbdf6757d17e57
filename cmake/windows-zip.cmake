# The Windows build as one zip, vokram-<version>-win64.zip, whose one folder holds the
# programs, vokram.cmd, the README and the bundled survey ready to run:
#   cmake --workflow --preset windows  ->  build-windows/vokram-<version>-win64.zip
foreach(program IN ITEMS vokram1 vokram2 vokram4 vokram5 vokram-plot vokram-import)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION .)
  endif()
endforeach()
install(PROGRAMS ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/vokram.cmd DESTINATION .)
install(FILES README.md LICENSE DESTINATION .)
install(DIRECTORY doc/ DESTINATION doc PATTERN man EXCLUDE)
# The bundled survey with its VK\ and Temp\, both of which the programs need.
install(DIRECTORY examples/survey/ DESTINATION example)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME vokram)
set(CPACK_PACKAGE_VENDOR "The Vokram developers")
set(CPACK_PACKAGE_FILE_NAME vokram-${PROJECT_VERSION}-win64)
set(CPACK_STRIP_FILES ON)
include(CPack)
