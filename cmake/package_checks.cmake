# Read by cpack before each package is made.
if(CPACK_GENERATOR STREQUAL "DEB")
  # Without dpkg-shlibdeps CPack would quietly leave Depends out of the .deb.
  find_program(LINK_UNWRAPPER_SHLIBDEPS dpkg-shlibdeps)
  if(NOT LINK_UNWRAPPER_SHLIBDEPS)
    message(FATAL_ERROR "dpkg-shlibdeps is missing (Debian package dpkg-dev); without it the "
                        ".deb would not say which libc it needs.")
  endif()
endif()
