# Installation and the Debian package. The package is built from a Release build of the
# programs alone:
#   cmake --workflow --preset package      ->  build-programs/vokram_<version>_<arch>.deb

# The maintainer of the package, named here once: the package's control data, its
# changelog and its copyright file all take it from here.
set(VOKRAM_MAINTAINER "Vokram developers <vokram@vokram.bg>"
    CACHE STRING "The package maintainer, as \"Name <address>\"")

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The programs and the `vokram` command that runs them in order.
foreach(program IN ITEMS vokram1 vokram2 vokram4 vokram5 vokram-plot vokram-import)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
# Without the compiler's notes, as Debian strips its programs (the package strips the symbols).
if(CMAKE_STRIP)
  install(CODE "
    foreach(program vokram1 vokram2 vokram4 vokram5 vokram-plot)
      set(file \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\")
      if(EXISTS \"\${file}\")
        execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment --remove-section=.note
                                \"\${file}\")
      endif()
    endforeach()")
endif()
install(PROGRAMS ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/vokram DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The data file's format, the report's sections with the example surveys they quote, and
# the AutoCAD script that defines the point blocks; in doc/ beside the README, whose
# links lead there.
install(DIRECTORY doc/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/doc PATTERN man EXCLUDE)
# What lintian would note and is meant so: the example's empty Temp/ and the doc/ folder.
install(FILES packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME vokram)

# The bundled survey, ready to copy and run: its VK/ and Temp/ (kept by a note that the
# programs do not read), both of which the programs need.
install(DIRECTORY examples/survey/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/example)

# The changelog and the copyright file, where Debian keeps them; the changelog is
# compressed as Debian wants it (no name or time stamp in the gzip header).
find_program(VOKRAM_GZIP gzip)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
string(REGEX REPLACE "^MIT License\n\nCopyright[^\n]*\n\n" "" licence "${licence}")
string(REGEX REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REGEX REPLACE "\n$" "" licence "${licence}")
string(REPLACE "\n" "\n " VOKRAM_LICENSE_TEXT " ${licence}")
configure_file(packaging/copyright.in ${PROJECT_BINARY_DIR}/packaging/copyright @ONLY)
configure_file(packaging/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(compressed)
if(VOKRAM_GZIP)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/packaging/changelog.gz
    COMMAND ${VOKRAM_GZIP} -9nkf ${PROJECT_BINARY_DIR}/packaging/changelog
    DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog)
  list(APPEND compressed ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()

# The manual pages, written by hand in doc/man/: one per program in section 1 and the
# format of the survey data file in section 5, each installed compressed as Debian wants
# them. Any page added there is installed with the others.
option(VOKRAM_MANPAGES "Install the manual pages" ON)
if(VOKRAM_MANPAGES)
  file(GLOB manual_pages CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/doc/man/*.1 ${PROJECT_SOURCE_DIR}/doc/man/*.5)
  file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/man)
  foreach(source IN LISTS manual_pages)
    get_filename_component(page ${source} NAME)
    string(REGEX REPLACE ".*\\." "" section ${page})
    if(VOKRAM_GZIP)
      set(built ${PROJECT_BINARY_DIR}/man/${page}.gz)
      add_custom_command(OUTPUT ${built}
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${PROJECT_BINARY_DIR}/man/${page}
        COMMAND ${VOKRAM_GZIP} -9nf ${PROJECT_BINARY_DIR}/man/${page}
        DEPENDS ${source} VERBATIM)
      list(APPEND compressed ${built})
      install(FILES ${built} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
    else()
      install(FILES ${source} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
    endif()
  endforeach()
endif()
add_custom_target(packaging_files ALL DEPENDS ${compressed})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vokram)
set(CPACK_PACKAGE_VENDOR "The Vokram developers")
set(CPACK_PACKAGE_CONTACT "${VOKRAM_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "survey computation for total-station networks")
# The long description under the summary, which Debian takes as its first line.
set(CPACK_PACKAGE_DESCRIPTION "Vokram is a suite of console programs for the land surveyor who has measured
a control network with a total station: vokram1 checks and reduces the field
data, vokram2 finds approximate coordinates and heights of the new points,
vokram4 adjusts the plane network by least squares with error ellipses,
vokram5 computes the detail points of polar stations, and vokram-plot draws
a plan of the survey at a ratio scale. vokram-import writes the field data
file from the total station's raw files (GSI, SDR). The vokram command runs
them in order.
The reports and files are in Bulgarian, in the Windows-1251 code page.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS librsvg2-bin)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})
include(CPack)
