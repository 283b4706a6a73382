# The manual pages, the store metadata and the Debian package.
# Included from cmake/Desktop.cmake, after the install rules of the programs,
# their data and the desktop files.
#
# scripts/package.sh makes the package: cpack -G DEB installs into a staging
# folder with the prefix /usr and packs that, with dependencies found by
# dpkg-shlibdeps. Manual pages and the changelog are installed compressed,
# as Debian's policy asks; gzip -n keeps the package the same from build to build.

set(desktop ${CMAKE_SOURCE_DIR}/desktop)
set(packaging ${CMAKE_BINARY_DIR}/packaging)

set(manuals psykrona-cli)
if(TARGET psykrona)
  list(APPEND manuals psykrona)
endif()
set(compressed)
foreach(source ${manuals})
  list(APPEND compressed ${desktop}/man/${source}.1)
endforeach()
list(APPEND compressed ${desktop}/debian/changelog)
set(compressed_outputs)
foreach(source ${compressed})
  get_filename_component(name ${source} NAME)
  add_custom_command(
    OUTPUT ${packaging}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${packaging}/${name}
    COMMAND gzip -9nf ${packaging}/${name}
    DEPENDS ${source}
    COMMENT "Compressing ${name}"
    VERBATIM)
  list(APPEND compressed_outputs ${packaging}/${name}.gz)
endforeach()
add_custom_target(psykrona_packaging ALL DEPENDS ${compressed_outputs})

foreach(name ${manuals})
  install(FILES ${packaging}/${name}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
install(FILES ${packaging}/changelog.gz ${desktop}/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

if(TARGET psykrona)
  install(FILES ${desktop}/example.psykrona.psykrona.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  # The screenshots the metadata names, as they came from the program.
  install(DIRECTORY ${desktop}/screenshots/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/screenshots)
endif()

# The version is the program's own (what --version prints), read from the
# one place that holds it.
file(STRINGS ${CMAKE_SOURCE_DIR}/engine/Main.cpp version_line REGEX "GetVersion\\(\\) { return \"")
string(REGEX REPLACE ".*return \"([^\"]+)\".*" "\\1" PSYKRONA_VERSION "${version_line}")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME psykrona)
set(CPACK_PACKAGE_VERSION ${PSYKRONA_VERSION})
set(CPACK_PACKAGE_VENDOR "The Psykrona developers")
set(CPACK_PACKAGE_CONTACT "The Psykrona developers <contact@psykrona.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://psykrona.example")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Not found by dpkg-shlibdeps: the chart's faces stand in for Arial and Times
# New Roman with the same metrics; the help pages open through xdg-open.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Mollier diagram of moist air for ventilation engineers")
set(CPACK_PACKAGE_DESCRIPTION "Psykrona keeps a project of numbered moist-air state points, each fixed by
two of dry-bulb temperature, relative humidity, humidity ratio and
enthalpy. It solves the other two at the project's barometric pressure,
draws the points and the process lines between them on a Mollier diagram,
and gives the power, the sensible power and the water flow of every
process. It prints a data page and a chart page, saves the chart as a
picture, and speaks English, Swedish and Hungarian.

The command-line tool psykrona-cli gives every result to scripts.")
include(CPack)
