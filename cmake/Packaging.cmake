# Installing Orvanta as a Linux program, and its Debian package.
#
#   cmake --install BUILD [--prefix /usr/local]    installs into a prefix
#   cpack -G DEB  (in BUILD)                        builds orvanta_<version>_<arch>.deb
#
# The program goes to bin/ with the tools people use (orvanta-nmea-replay,
# orvanta-export); the journal generator and the port list stay developer
# tools. The desktop entry, icon, AppStream data, manual
# pages and documentation go where the desktop, man and dpkg look for them.
include(GNUInstallDirs)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(ORVANTA_MAINTAINER "Orvanta developers <maintainers@orvanta.example>"
    CACHE STRING "Maintainer field of the Debian package")
set(ORVANTA_APPSTREAM_ID org.orvanta.Orvanta)
set(ORVANTA_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/orvanta)

install(TARGETS orvanta RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# A tool, installed under the name it is built with; stripped like the
# targets when the install is asked to strip (CPack does).
function(orvanta_install_tool name)
  install(PROGRAMS $<TARGET_FILE:${name}> DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_STRIP}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${name}\")
    endif()")
endfunction()

set(ORVANTA_MAN_PAGES orvanta orvanta-nmea-replay)
orvanta_install_tool(orvanta-nmea-replay)
orvanta_install_tool(orvanta-export)
list(APPEND ORVANTA_MAN_PAGES orvanta-export)

# Manual pages and the changelog go compressed, as Debian wants them;
# gzip -n keeps the bytes the same from one build to the next.
set(ORVANTA_COMPRESSED)
foreach(page ${ORVANTA_MAN_PAGES})
  list(APPEND ORVANTA_COMPRESSED resources/man/${page}.1)
endforeach()
list(APPEND ORVANTA_COMPRESSED resources/package/changelog)
set(ORVANTA_COMPRESSED_OUTPUTS)
foreach(source ${ORVANTA_COMPRESSED})
  get_filename_component(name ${source} NAME)
  set(output ${CMAKE_BINARY_DIR}/package-files/${name}.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/package-files
    COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/${source} > ${output}
    DEPENDS ${CMAKE_SOURCE_DIR}/${source}
    VERBATIM)
  list(APPEND ORVANTA_COMPRESSED_OUTPUTS ${output})
endforeach()
add_custom_target(orvanta_package_files ALL DEPENDS ${ORVANTA_COMPRESSED_OUTPUTS})
# Building the program alone (as ./run does) leaves a tree that installs.
add_dependencies(orvanta orvanta_package_files)

foreach(page ${ORVANTA_MAN_PAGES})
  install(FILES ${CMAKE_BINARY_DIR}/package-files/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
install(FILES resources/desktop/orvanta.desktop resources/desktop/orvanta-trace.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES resources/desktop/${ORVANTA_APPSTREAM_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES resources/icon/orvanta.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 22 24 32 48 64 128 256)
  install(FILES resources/icon/orvanta_${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME orvanta.png)
endforeach()
install(FILES README.md resources/package/copyright ${CMAKE_BINARY_DIR}/package-files/changelog.gz
        DESTINATION ${ORVANTA_DOCDIR})
install(FILES samples/drive.nmea DESTINATION ${ORVANTA_DOCDIR}/examples)

# The Debian package.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvanta)
set(CPACK_PACKAGE_VENDOR "The Orvanta developers")
set(CPACK_PACKAGE_CONTACT "${ORVANTA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "GPS logger for a serial receiver, with a track viewer")
set(CPACK_PACKAGE_DESCRIPTION
  "Orvanta reads the NMEA sentences of a GPS receiver on a serial port or a USB\n"
  "serial adapter, shows the UTC time, the position and the ground speed, and at\n"
  "the interval chosen appends the fix to a journal, rewrites a last-position file\n"
  "and can set the computer's clock from GPS time. Lamps, a banner and a sound\n"
  "warn of a low battery, a missing fix, a failed write and line errors.\n"
  "\n"
  "Its track viewer draws the recorded track on a latitude/longitude plan with\n"
  "zoom, panning, a record cursor with distances, automatic reloading and JPEG\n"
  "export. The windows are in French.\n"
  "\n"
  "The package also holds orvanta-export, which converts a journal to GPX 1.1,\n"
  "KML 2.2 or CSV for other mapping and GPS programs, and orvanta-nmea-replay,\n"
  "which plays recorded NMEA text onto a virtual serial port in real time, to\n"
  "try the logger without a receiver.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ORVANTA_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Fonts with the metrics of the ones the windows ask for, and Qt's own French
# texts for its standard dialogs; the SQLite driver plugin the MBTiles maps
# open, which the shared-library scan cannot see.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation, fonts-comic-neue, qt6-translations-l10n, libqt6sql6-sqlite")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build/")
include(CPack)

# The package built from this tree must hold what it should and pass
# Debian's checks. It packages the build it runs in (the test suite's own,
# sanitizers included) rather than a second plain build: what is checked is
# the packaging, and a second build would double the suite's build time.
if(ORVANTA_TESTS)
  add_test(NAME debian_package
           COMMAND ${CMAKE_SOURCE_DIR}/tests/package/check_debian_package.sh
                   ${CMAKE_BINARY_DIR} ${PROJECT_VERSION} ${ORVANTA_APPSTREAM_ID})
  set_tests_properties(debian_package PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600)
endif()
