# The module as delivered: its version resource, made from the project's
# version, and the release archive `qel_caller-<version>-win32.zip` that
# CPack builds from the install rules below (tools/release.sh).

# The licence's copyright line is also the one shown in the file's properties.
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE QEL_COPYRIGHT REGEX "^Copyright " LIMIT_COUNT 1)
configure_file(${PROJECT_SOURCE_DIR}/resources/version.rc.in ${PROJECT_BINARY_DIR}/version.rc @ONLY)
target_sources(qel_caller PRIVATE ${PROJECT_BINARY_DIR}/version.rc)

# The archive holds, side by side: the plug-in, the stand-in host, the
# guides with their pictures, the licence and the changelog.
install(TARGETS qel_caller LIBRARY DESTINATION . RUNTIME DESTINATION .)

# Text files get Windows line ends, so that any editor there shows them as
# written. They are copied again whenever a source changes.
set(QEL_RELEASE_TEXTS
  docs/user-guide.md user-guide.md
  docs/user-guide.ja.md user-guide.ja.md
  docs/host-guide.md host-guide.md
  LICENSE LICENSE.txt
  CHANGELOG.md CHANGELOG.md)
while(QEL_RELEASE_TEXTS)
  list(POP_FRONT QEL_RELEASE_TEXTS source target)
  file(READ ${PROJECT_SOURCE_DIR}/${source} text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${PROJECT_BINARY_DIR}/release/${target} "${text}")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${source})
  install(FILES ${PROJECT_BINARY_DIR}/release/${target} DESTINATION .)
endwhile()
install(FILES docs/options-en.png docs/options-ja.png DESTINATION . OPTIONAL)

# The stand-in host may be declared after this file is read: look for it
# once the whole project has been.
function(qel_install_host)
  if(TARGET qelhost)
    install(TARGETS qelhost RUNTIME DESTINATION .)
  else()
    message(WARNING "There is no qelhost target: the release archive will lack qelhost.exe.")
  endif()
endfunction()
cmake_language(DEFER CALL qel_install_host)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME qel_caller)
set(CPACK_PACKAGE_VENDOR "the qel_caller authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Announcer plug-in for 32-bit Windows hosts")
set(CPACK_PACKAGE_FILE_NAME qel_caller-${PROJECT_VERSION}-win32)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
