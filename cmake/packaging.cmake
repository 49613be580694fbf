# The Debian package: `cpack -G DEB` in the build folder makes
# pelloquin_<version>_<arch>.deb from what `cmake --install` installs, which
# is the program and its desktop files only.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pelloquin)
set(CPACK_PACKAGE_VENDOR "The Pelloquin authors")
set(CPACK_PACKAGE_CONTACT "The Pelloquin authors <pelloquin@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "rename many files at once to one numbered name")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[
Pelloquin gives a batch of files one name with a running number, in the
order you pick them: holiday photos become Rome001.jpg, Rome002.jpg and so
on. Browse a folder, click the files in the order they should be numbered,
set a base name, the leading zeros, the start number and the extension, and
press Rename All. The files are renamed where they are, or moved into
another folder, which can be created on the way.
.
A file is never overwritten: when a new name is taken the run stops at that
file and names it. A file moved to another file system is copied whole and
checked before the original goes, so no file is lost when a run stops
half-way.]=])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt finds its display plugins at run time, so no library names them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
include(CPack)
