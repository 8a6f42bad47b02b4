# merovan_platform_sources(<var> <glob>...) sets <var> to the files matching the globs that
# this platform builds: a back end named *_posix.cpp is left out on Windows, one named
# *_win32.cpp everywhere else.
function(merovan_platform_sources var)
  file(GLOB sources CONFIGURE_DEPENDS ${ARGN})
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER sources EXCLUDE REGEX "_win32\\.cpp$")
  endif()
  set(${var} ${sources} PARENT_SCOPE)
endfunction()
