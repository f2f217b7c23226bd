# `cpack --preset package` builds a Debian package of the installed files. cpack rather than a
# debian/ folder: the install rules above already say what goes where, and dpkg-shlibdeps reads
# the libraries the program really links, so nothing is listed twice.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME scribbet)
set(CPACK_PACKAGE_VENDOR "The Scribbet developers")
set(CPACK_PACKAGE_CONTACT "The Scribbet developers <developers@scribbet.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "plain-text editor for the desktop")
# The files name the prefix they were configured for (the D-Bus service starts the program by its
# full path), so the package installs exactly there.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://scribbet.org/)
set(CPACK_PACKAGE_DESCRIPTION "Scribbet is a small plain-text editor. Every open document has one window
whose whole content is one scrolling text area.

It reads UTF-8 and UTF-16 files and saves UTF-8, keeping line endings and
every other character exactly as they were. A save that fails or is
interrupted leaves the old file whole, and a file changed by another program
is never overwritten without asking. Large files and very long lines open at
once.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its display plugins at run time, which dpkg-shlibdeps cannot see: X11's, and
# Wayland's, without which a Wayland desktop shows the editor through XWayland, blurred on a
# scaled screen and unable to bring its windows forward. Qt's own translations make its dialogs
# speak the user's language.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")

# Debian's policy asks every package for its copyright and changelog under /usr/share/doc.
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/scribbet)
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/debian/copyright DESTINATION ${doc_dir})
install_compressed(debian/changelog changelog ${doc_dir})

include(CPack)
