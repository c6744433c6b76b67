# GoogleTest compiled with the build's own compiler from Debian's googletest
# sources, for a cross build that has no GoogleTest for its target system.
# It defines GTest::gtest and GTest::gtest_main, as find_package(GTest) does.
set(MW_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources (Debian package googletest)")
if(NOT EXISTS ${MW_GOOGLETEST_SOURCE_DIR}/googletest/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${MW_GOOGLETEST_SOURCE_DIR}: install the package googletest "
                      "(scripts/setup.sh does) or set MW_GOOGLETEST_SOURCE_DIR")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${MW_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
