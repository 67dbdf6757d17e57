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
install(PROGRAMS ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/vokram DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The bundled survey, ready to copy and run: its VK/ and an empty Temp/, both of which
# the programs need.
install(DIRECTORY examples/survey/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/example)
install(DIRECTORY DESTINATION ${CMAKE_INSTALL_DOCDIR}/example/Temp)

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

# A manual page per program, made from its --help by help2man. The build of the programs
# alone (the preset "programs", which the example and the package use) makes them.
option(VOKRAM_MANPAGES "Make and install the manual pages" OFF)
if(VOKRAM_MANPAGES)
  find_program(VOKRAM_HELP2MAN help2man)
  if(NOT VOKRAM_HELP2MAN)
    message(WARNING "help2man is not installed (Debian package help2man): no manual pages")
  endif()
endif()
set(summary_vokram1 "check and reduce the field data of a total-station survey")
set(summary_vokram2 "approximate coordinates and heights of the new points of a survey")
set(summary_vokram4 "least-squares adjustment of a plane survey network")
set(summary_vokram5 "detail points of the polar stations of a survey")
set(summary_vokram-plot "draw the plan of a survey on an A3 or A4 sheet at a ratio scale")
set(summary_vokram "run the Vokram survey programs in order in a survey folder")
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/man)
foreach(program IN ITEMS vokram1 vokram2 vokram4 vokram5 vokram-plot vokram)
  if(NOT VOKRAM_HELP2MAN OR NOT VOKRAM_MANPAGES)
    break()
  endif()
  if(TARGET ${program})
    set(file $<TARGET_FILE:${program}>)
    set(source ${program})
  elseif(program STREQUAL "vokram")
    set(file ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/vokram)
    set(source ${PROJECT_SOURCE_DIR}/scripts/vokram.in)
  else()
    continue()
  endif()
  set(page ${PROJECT_BINARY_DIR}/man/${program}.1)
  add_custom_command(OUTPUT ${page}
    COMMAND ${VOKRAM_HELP2MAN} --no-info --locale=C.UTF-8 --section=1 --name=${summary_${program}}
            --output=${page} ${file}
    DEPENDS ${source} VERBATIM)
  if(VOKRAM_GZIP)
    add_custom_command(OUTPUT ${page}.gz COMMAND ${VOKRAM_GZIP} -9nkf ${page} DEPENDS ${page})
    list(APPEND compressed ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  else()
    install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endforeach()
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
