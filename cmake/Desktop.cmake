# The installation as a Linux desktop program. Included from the top level
# after every executable target exists.
#
# cmake --install puts the executables and everything under data/ into one
# folder, <prefix>/lib/psykrona, where the program looks for its language
# files and help pages beside itself; <prefix>/bin gets symbolic links to
# them (the program finds its folder through the link). The desktop entry,
# the icons and the MIME type of project files go under <prefix>/share.

# Documentation goes where Debian and most distributions keep a package's:
# share/doc/<package name>, in lower case.
if(NOT CMAKE_INSTALL_DOCDIR)
  set(CMAKE_INSTALL_DOCDIR "share/doc/psykrona")
endif()
include(GNUInstallDirs)
set(PSYKRONA_INSTALL_DIR "lib/psykrona" CACHE STRING
  "Folder below the prefix for the executables, language files and help pages")
option(PSYKRONA_UPDATE_DESKTOP_CACHES
  "Refresh the MIME, desktop-entry and icon caches of the prefix after installing (not with DESTDIR)" ON)

foreach(program psykrona psykrona-cli)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${PSYKRONA_INSTALL_DIR})
    install(CODE "
      set(bin \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
      file(RELATIVE_PATH target \"\${bin}\" \"\${CMAKE_INSTALL_PREFIX}/${PSYKRONA_INSTALL_DIR}/${program}\")
      file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${bin}\")
      message(STATUS \"Installing: \$ENV{DESTDIR}\${bin}/${program} -> \${target}\")
      file(CREATE_LINK \"\${target}\" \"\$ENV{DESTDIR}\${bin}/${program}\" SYMBOLIC)
      list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\$ENV{DESTDIR}\${bin}/${program}\")
    ")
  endif()
endforeach()

# psykrona-cli hands commands to these and finds them beside itself; users
# never start them by name, so they get no launcher.
foreach(helper psykrona-cli-files psykrona-cli-draw)
  if(TARGET ${helper})
    install(TARGETS ${helper} RUNTIME DESTINATION ${PSYKRONA_INSTALL_DIR})
  endif()
endforeach()

install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${PSYKRONA_INSTALL_DIR}
  PATTERN CMakeLists.txt EXCLUDE
  PATTERN examples EXCLUDE)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

if(TARGET psykrona_gui)
  set(desktop ${CMAKE_SOURCE_DIR}/desktop)
  # The entry starts the program by its full path, so it works from a prefix
  # that is not on the desktop session's PATH; the path is known only when
  # installing, since --prefix may change it.
  # Each destination gets its own copy of the filled-in entry, so installs
  # into different places from the same build tree (a package being made
  # while another install runs) never hand each other their launcher path.
  install(CODE "
    set(PSYKRONA_LAUNCHER \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/psykrona\")
    string(MD5 destination \"\$ENV{DESTDIR}|\${CMAKE_INSTALL_PREFIX}\")
    set(entry \"${CMAKE_BINARY_DIR}/desktop/\${destination}/psykrona.desktop\")
    configure_file(\"${desktop}/psykrona.desktop.in\" \"\${entry}\" @ONLY)
    file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}/applications\" TYPE FILE
         FILES \"\${entry}\")
  ")
  file(GLOB icons ${desktop}/icons/psykrona-*.png)
  foreach(icon ${icons})
    string(REGEX REPLACE ".*-([0-9]+)\\.png$" "\\1" size ${icon})
    install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
      RENAME psykrona.png)
  endforeach()
  install(FILES ${desktop}/psykrona.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${desktop}/psykrona-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
    RENAME psykrona.xml)

  if(PSYKRONA_UPDATE_DESKTOP_CACHES)
    # Packagers install with DESTDIR and leave the caches to the package
    # manager's triggers; a missing tool only means a later login refreshes.
    install(CODE "
      if(\"\$ENV{DESTDIR}\" STREQUAL \"\")
        set(share \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DATADIR}\")
        find_program(update_mime update-mime-database)
        find_program(update_desktop update-desktop-database)
        find_program(update_icons gtk-update-icon-cache)
        if(update_mime)
          execute_process(COMMAND \"\${update_mime}\" \"\${share}/mime\" RESULT_VARIABLE ignored OUTPUT_QUIET ERROR_QUIET)
        endif()
        if(update_desktop)
          execute_process(COMMAND \"\${update_desktop}\" -q \"\${share}/applications\" RESULT_VARIABLE ignored OUTPUT_QUIET ERROR_QUIET)
        endif()
        if(update_icons AND EXISTS \"\${share}/icons/hicolor/index.theme\")
          execute_process(COMMAND \"\${update_icons}\" -q -t \"\${share}/icons/hicolor\" RESULT_VARIABLE ignored OUTPUT_QUIET ERROR_QUIET)
        endif()
      endif()
    ")
  endif()
endif()

include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
