# The Debian package (tools/package.sh): CPack's DEB generator over the install
# rules, its dependencies found by dpkg-shlibdeps from the linked libraries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lorvane-manager)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${LORVANE_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "edit the descriptive data kept in file names")
set(CPACK_PACKAGE_DESCRIPTION
    "Lorvane Manager keeps descriptive data inside file names: the date a picture
was captured, a sequence number, a topic, and nested, labelled attributes such
as subject, place or creator. It reads a name into an attribute tree, says
whether the name is good and where a problem lies, lets you edit the tree,
builds the new name and renames the file; a Browser renames many files in one
run, and every run can be undone.

The package holds the desktop program lorvane-manager and the command-line tool
lorvane, which does the same work for scripts and large folders.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${LORVANE_WEBSITE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "bash-completion")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Folders the package shares with the system belong to root and are 0755.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
include(CPack)
