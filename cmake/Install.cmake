# The installed layout (cmake --install) and the Debian package (make package).
#   bin/                      qxconfig, qxconfig-cli
#   share/qxconfig/           default rules.xml and menu.xml, the sample reports
#   share/applications, share/metainfo, share/mime/packages, share/icons/hicolor
#   share/man/man1, share/bash-completion/completions
set(QX_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/qxconfig)

install(TARGETS qxconfig-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET qxconfig)
  install(TARGETS qxconfig RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES
    ${CMAKE_SOURCE_DIR}/resources/rules.xml
    ${CMAKE_SOURCE_DIR}/resources/menu.xml
    ${CMAKE_SOURCE_DIR}/examples/FS1-CONFIG.TXT
    ${CMAKE_SOURCE_DIR}/examples/FS2-CONFIG.TXT
  DESTINATION ${QX_SHARE_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/qxconfig.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/com.quarrix.qxconfig.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/qxconfig-mime.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME qxconfig.xml)
install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/qxconfig.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The package's copyright and changelog, where Debian keeps them.
set(QX_CHANGELOG ${CMAKE_BINARY_DIR}/share/doc/changelog.gz)
add_custom_command(OUTPUT ${QX_CHANGELOG}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/share/doc
  COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/packaging/changelog > ${QX_CHANGELOG}
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog)
add_custom_target(qx_changelog ALL DEPENDS ${QX_CHANGELOG})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${QX_CHANGELOG}
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/qxconfig)

# Bash completion, written by the program from its own command definitions.
set(QX_COMPLETION ${CMAKE_BINARY_DIR}/share/completions/qxconfig-cli)
add_custom_command(OUTPUT ${QX_COMPLETION}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/share/completions
  COMMAND $<TARGET_FILE:qxconfig-cli> completion bash > ${QX_COMPLETION}
  DEPENDS qxconfig-cli
  COMMENT "Writing the bash completion of qxconfig-cli")
add_custom_target(qx_completion ALL DEPENDS ${QX_COMPLETION})
install(FILES ${QX_COMPLETION} DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# Man pages from the programs' own --help, so the two cannot drift apart.
find_program(QX_HELP2MAN help2man)
if(QX_HELP2MAN)
  set(QX_MAN_DIR ${CMAKE_BINARY_DIR}/share/man)
  set(QX_MAN_PAGES)
  foreach(prog qxconfig-cli qxconfig)
    if(NOT TARGET ${prog})
      continue()
    endif()
    set(page ${QX_MAN_DIR}/${prog}.1)
    set(gz ${page}.gz)
    set(includes --include=${CMAKE_SOURCE_DIR}/packaging/man/${prog}.h2m)
    set(depends ${CMAKE_SOURCE_DIR}/packaging/man/${prog}.h2m)
    if(prog STREQUAL "qxconfig-cli")
      # Every subcommand's own --help becomes the COMMANDS section.
      set(commands ${QX_MAN_DIR}/qxconfig-cli-commands.h2m)
      add_custom_command(OUTPUT ${commands}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${QX_MAN_DIR}
        COMMAND bash ${CMAKE_SOURCE_DIR}/packaging/man/cli-commands.sh $<TARGET_FILE:qxconfig-cli> > ${commands}
        DEPENDS qxconfig-cli ${CMAKE_SOURCE_DIR}/packaging/man/cli-commands.sh)
      set(includes --include=${commands} ${includes})
      list(APPEND depends ${commands})
    endif()
    add_custom_command(OUTPUT ${page} ${gz}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${QX_MAN_DIR}
      COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
              ${QX_HELP2MAN} --no-info --no-discard-stderr --section=1
              --version-string=${PROJECT_VERSION} --name=${PROJECT_DESCRIPTION}
              ${includes} --include=${CMAKE_SOURCE_DIR}/packaging/man/files.h2m
              --output=${page} $<TARGET_FILE:${prog}>
      COMMAND gzip -9 -n -f -k ${page}
      DEPENDS ${prog} ${depends} ${CMAKE_SOURCE_DIR}/packaging/man/files.h2m
      COMMENT "Writing the man page ${prog}.1")
    list(APPEND QX_MAN_PAGES ${gz})
  endforeach()
  add_custom_target(qx_man ALL DEPENDS ${QX_MAN_PAGES})
  install(FILES ${QX_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "help2man not found: no man pages (scripts/setup installs it)")
endif()

# make package: a .deb whose Depends come from the libraries the programs link.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qxconfig)
set(CPACK_PACKAGE_VENDOR "Orvane KTR")
set(CPACK_PACKAGE_CONTACT "QXConfig maintainers <qxconfig@quarrix.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION admin)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Plugins the libraries do not pull in: the window system (only recommended by Qt) and the
# SVG icon engine that draws the program's icon.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.quarrix.com/qxconfig")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "QXConfig reads the plain-text configuration report a Quarrix file server
writes, turns it into a configuration tree and judges it against a rule base.
Every finding is shown with a mark: Good, Bad, Information, Not Checked or
Error. The desktop program compares servers, writes SET-parameter command
files, edits the rule base and fetches rule-base updates; qxconfig-cli runs
the same analysis from a shell.")
include(CPack)
