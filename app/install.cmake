# Installation and the Debian package: Harvelo, its companion programs and its help pages
# in one folder (lib/harvelo), a link on the path, the desktop entry and the program
# icon (SVG and PNG sizes), so that Harvelo appears in the desktop's menus.
# Included by the top-level CMakeLists.txt once every program target exists.
include(GNUInstallDirs)
set(HARVELO_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/harvelo)
set(desktop_dir ${PROJECT_SOURCE_DIR}/app/desktop)

foreach(program harvelo harvelo-cli Inspector agentscout)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${HARVELO_INSTALL_DIR})
  endif()
endforeach()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/app/help/ DESTINATION ${HARVELO_INSTALL_DIR}/Help)

# Links on the path, relative so that they hold inside a package's tree as well.
foreach(program harvelo harvelo-cli)
  install(CODE "
    set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(REMOVE \"\${link}\")
    file(CREATE_LINK \"../${HARVELO_INSTALL_DIR}/${program}\" \"\${link}\" SYMBOLIC)
    message(STATUS \"Installing: \${link} -> ../${HARVELO_INSTALL_DIR}/${program}\")")
endforeach()

install(FILES ${desktop_dir}/harvelo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${desktop_dir}/harvelo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${desktop_dir}/harvelo-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME harvelo.png)
endforeach()

# What Debian asks of a package beside the programs: the copyright, the changelog, the
# manual pages (the last two compressed, without a time stamp so that they build the
# same every time), the AppStream metadata for software centres and the completion.
set(package_dir ${PROJECT_SOURCE_DIR}/packaging)
set(package_out ${CMAKE_BINARY_DIR}/packaging)
set(HARVELO_METAINFO_ID example.harvelo.Harvelo)
configure_file(${package_dir}/harvelo.metainfo.xml
               ${package_out}/${HARVELO_METAINFO_ID}.metainfo.xml @ONLY)
set(compressed)
foreach(name changelog harvelo.1 harvelo-cli.1)
  configure_file(${package_dir}/${name} ${package_out}/${name} @ONLY)
  add_custom_command(OUTPUT ${package_out}/${name}.gz
    COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" sh ${package_out}/${name}
            ${package_out}/${name}.gz
    DEPENDS ${package_out}/${name} VERBATIM)
  list(APPEND compressed ${package_out}/${name}.gz)
endforeach()
add_custom_target(harvelo_package_docs ALL DEPENDS ${compressed})

set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/harvelo)
install(FILES ${package_dir}/copyright ${package_out}/changelog.gz DESTINATION ${doc_dir})
install(FILES ${package_out}/harvelo.1.gz ${package_out}/harvelo-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${package_out}/${HARVELO_METAINFO_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${package_dir}/harvelo-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME harvelo-cli)

# cpack -G DEB: an installable package whose library dependencies dpkg-shlibdeps finds.
# The programs go in stripped: CPackDeb moves their debug information into a package of
# its own (harvelo-dbgsym, a .ddeb as Debian makes them) for whoever debugs an installed
# copy. It takes it from the unstripped programs, so CPACK_STRIP_FILES stays off.
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)
set(CPACK_PACKAGE_NAME harvelo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Harvelo Project")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "stores the pictures and other files a web page links to or shows")
# Lines of at most 80 columns, as the control file's description wants them.
set(CPACK_PACKAGE_DESCRIPTION
    "Harvelo fetches a web page, finds the pictures (and any other file types
listed) it links to or shows, and stores them in a folder as prefix + running
number, with a log of where each came from. A window in English and Spanish,
and harvelo-cli for scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Harvelo Project <harvelo@harvelo.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
# Pages built by script are rendered in a headless Chromium when it is there.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "chromium")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
include(CPack)
