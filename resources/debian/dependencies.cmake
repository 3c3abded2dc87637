# Read by cpack (CPACK_PROJECT_CONFIG_FILE) with JOTTEX_PROGRAMS and JOTTEX_MODULES set to the
# built files and JOTTEX_SHLIBDEPS_DIR to a scratch folder: the libraries the programs link
# become Depends, those only the modules link Recommends. dpkg-shlibdeps leaves out of
# Recommends what Depends already holds.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)

# dpkg-shlibdeps reads debian/control of its working folder, which may be empty.
file(MAKE_DIRECTORY ${JOTTEX_SHLIBDEPS_DIR}/debian)
file(TOUCH ${JOTTEX_SHLIBDEPS_DIR}/debian/control)
list(TRANSFORM JOTTEX_PROGRAMS PREPEND "-e" OUTPUT_VARIABLE program_args)
list(TRANSFORM JOTTEX_MODULES PREPEND "-e" OUTPUT_VARIABLE module_args)
execute_process(COMMAND dpkg-shlibdeps -O ${program_args} -dRecommends ${module_args}
                WORKING_DIRECTORY ${JOTTEX_SHLIBDEPS_DIR}
                OUTPUT_VARIABLE fields
                ERROR_VARIABLE errors
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "dpkg-shlibdeps failed: ${errors}")
endif()

# Its output is one "shlibs:<Field>=<value>" line a field.
function(jottex_shlibs_field field var)
  string(REGEX MATCH "shlibs:${field}=([^\n]*)" found "${fields}")
  set(${var} "${CMAKE_MATCH_1}" PARENT_SCOPE)
endfunction()
jottex_shlibs_field(Depends depends)
jottex_shlibs_field(Recommends recommends)
if(depends STREQUAL "" OR recommends STREQUAL "")
  message(FATAL_ERROR "dpkg-shlibdeps named no libraries: ${fields}${errors}")
endif()
string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", ${depends}")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "${recommends}, ${CPACK_DEBIAN_PACKAGE_RECOMMENDS}")
