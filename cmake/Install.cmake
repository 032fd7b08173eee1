# Installing (cmake --install) and the Debian package (make package, through CPack). Every target with an
# install rule of its own (the SQLite extension, say) goes into the package as well. GNUInstallDirs is included
# at the top of the project.

set(LEXIVO_DATA ${CMAKE_SOURCE_DIR}/data)

foreach(program lexivo lexivo-cli)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

install(FILES ${LEXIVO_DATA}/lexivo.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48 64)
  install(FILES ${CMAKE_SOURCE_DIR}/src/shell/icons/lexivo-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME lexivo.png)
endforeach()
# The window shows the help from inside the program; the same document is installed to be read without it.
install(FILES ${CMAKE_SOURCE_DIR}/src/shell/help/lexivo.html DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lexivo)

# Manual pages carry the version, and are installed compressed, as Debian keeps them.
find_program(GZIP_PROGRAM gzip)
foreach(page lexivo.1 lexivo-cli.1)
  set(LEXIVO_VERSION ${PROJECT_VERSION})
  configure_file(${LEXIVO_DATA}/${page} ${CMAKE_BINARY_DIR}/man/${page} @ONLY)
  set(installed ${CMAKE_BINARY_DIR}/man/${page})
  if(GZIP_PROGRAM)
    add_custom_command(OUTPUT ${installed}.gz
      COMMAND ${GZIP_PROGRAM} -9 -n -c ${installed} > ${installed}.gz
      DEPENDS ${installed} VERBATIM)
    set(installed ${installed}.gz)
  endif()
  list(APPEND LEXIVO_MAN_PAGES ${installed})
  install(FILES ${installed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_target(man_pages ALL DEPENDS ${LEXIVO_MAN_PAGES})

# Debian's documents of the package: the copyright file in its machine-readable format (with the notices of the
# SCOWL lists and the WordNet data the program reads) and the changelog, compressed as Debian keeps it.
set(LEXIVO_DOC ${CMAKE_INSTALL_DATADIR}/doc/lexivo)
install(FILES ${LEXIVO_DATA}/copyright DESTINATION ${LEXIVO_DOC})
configure_file(${LEXIVO_DATA}/changelog.in ${CMAKE_BINARY_DIR}/doc/changelog @ONLY)
if(GZIP_PROGRAM)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/doc/changelog.gz
    COMMAND ${GZIP_PROGRAM} -9 -n -c ${CMAKE_BINARY_DIR}/doc/changelog > ${CMAKE_BINARY_DIR}/doc/changelog.gz
    DEPENDS ${CMAKE_BINARY_DIR}/doc/changelog VERBATIM)
  add_custom_target(changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/doc/changelog.gz)
  install(FILES ${CMAKE_BINARY_DIR}/doc/changelog.gz DESTINATION ${LEXIVO_DOC})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lexivo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Lexivo")
set(CPACK_PACKAGE_CONTACT "Lexivo <feedback@lexivo.example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop aid for word games and crosswords")
# Debian's extended description: lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION "Lexivo keeps a word list in a word database file and finds anagrams,
synograms, words containing given letters, words fitting a mask, words whose
reversal is also a word, the words a rack of tiles can lay and phrases.
With SCOWL it knows how common each word is; with WordNet, what it means.
lexivo is the window; lexivo-cli gives the same searches and upkeep in a shell.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
# A word database tool: it ships no game of its own.
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://lexivo.example.com/)
# The libraries the programs link come from dpkg-shlibdeps; the window system's plug-in is loaded at run time,
# so no library names it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libpcre2-8-0")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "wamerican | wordlist, scowl, wordnet-base")
include(CPack)
