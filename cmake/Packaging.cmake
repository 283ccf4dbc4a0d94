# `make package`: a Debian package of what data/CMakeLists.txt installs, under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tidemark)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${TIDEMARK_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${TIDEMARK_SUMMARY})
set(CPACK_PACKAGE_DESCRIPTION
    "Tidemark renames the files of one folder at a time, by rules (deletes, crops, a\n"
    "whole-name change, a text replacement, inserts, a case change) or by a numbering\n"
    "scheme, with a preview of the new names. The batch is checked for name collisions\n"
    "before anything is touched, and an existing file is never overwritten. The package\n"
    "holds the Qt program tidemark and the command-line program tidemark-cli.")
list(JOIN CPACK_PACKAGE_DESCRIPTION "" CPACK_PACKAGE_DESCRIPTION)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${TIDEMARK_HOMEPAGE})
# Qt 6 and utf8proc are found in the binaries by dpkg-shlibdeps (package dpkg-dev).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
if(TIDEMARK_GUI)
    # Loaded at run time, not linked: the plugin that draws the SVG window icon.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS libqt6svg6)
endif()
include(CPack)
