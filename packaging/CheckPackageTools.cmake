# Read by cpack before it makes a package: a Debian package without the
# program that finds its library dependencies would depend on nothing and
# fail on a machine without those libraries, so that stops the package step.
if(CPACK_GENERATOR STREQUAL "DEB" AND CPACK_DEBIAN_PACKAGE_SHLIBDEPS)
  find_program(MW_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(NOT MW_DPKG_SHLIBDEPS)
    message(FATAL_ERROR "dpkg-shlibdeps is missing (package dpkg-dev): without it the package would declare no "
                        "dependencies. Install dpkg-dev (scripts/setup.sh does) and run cpack again.")
  endif()
endif()
