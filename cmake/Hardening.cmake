# The hardening flags Debian builds its programs with: stack protection,
# checked string and memory functions, format checks, read-only relocations
# bound at start and position-independent programs. Left out of the sanitizer
# and fuzz builds, whose runtimes bring their own checks, and of the Windows
# cross build, where the stack protector needs a library MinGW lacks here.
if(NOT WIN32 AND NOT MW_SANITIZE AND NOT MW_FUZZ)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  include(CheckPIESupported)
  check_pie_supported()
  add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security
                      $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
  add_link_options(-Wl,-z,relro -Wl,-z,now)
endif()
