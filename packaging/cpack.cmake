# `make package`: one Debian package of everything `cmake --install` puts in place, its
# library dependencies computed from the binaries (dpkg-shlibdeps).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvane)
set(CPACK_PACKAGE_VENDOR Ostrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Ostrel <support@ostrel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "keywords that the best-ranking pages declare for a search term")
set(CPACK_PACKAGE_DESCRIPTION
    "Kelvane asks search engines for a keyword, downloads every result page, reads its META
keywords and counts on how many pages each keyword is declared: the keyword's theme. With a
command-line program (kelvane-cli) and the template library libkelvaneparse for other programs.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Installs into the staging folder by DESTDIR, so the prefix the files see is /usr.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.ostrel.example/kelvane)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The library's shlibs file and the ldconfig trigger.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the window's platform plugins.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The shell's "open" for the manual, web links and exported files.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
