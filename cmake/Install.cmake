# What "cmake --install" puts in place on Linux, and the Debian package CPack makes of it: the
# command-line tool, its manual page, its bash completion and the example documents. Nothing
# else of the build (tests, benchmarks, fuzz targets) has install rules.

# The documentation goes under the tool's name, share/doc/quendral, not the project's.
set(CMAKE_INSTALL_DOCDIR share/doc/quendral CACHE PATH "documentation root (DATAROOTDIR/doc/quendral)")
include(GNUInstallDirs)

# The manual page names the installed examples. Written as it is installed, since the prefix
# is known only then: "cmake --install --prefix" and the package (/usr) choose their own.
if(IS_ABSOLUTE ${CMAKE_INSTALL_DOCDIR})
  set(examples_dir ${CMAKE_INSTALL_DOCDIR}/examples)
else()
  set(examples_dir "\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_DOCDIR}/examples")
endif()
install(CODE "
  set(PROJECT_VERSION ${PROJECT_VERSION})
  set(QUENDRAL_EXAMPLES_DIR \"${examples_dir}\")
  configure_file(\"${PROJECT_SOURCE_DIR}/docs/quendral.1.in\" \"${PROJECT_BINARY_DIR}/man/quendral.1\" @ONLY)
" COMPONENT cli)

# The completion goes where bash-completion's pkg-config file says (taken under the prefix when
# it lies under /usr), else where bash-completion looks by default.
if(NOT DEFINED QUENDRAL_BASH_COMPLETION_DIR)
  set(completion_dir ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions)
  find_package(PkgConfig QUIET)
  if(PKG_CONFIG_FOUND)
    pkg_get_variable(completionsdir bash-completion completionsdir)
    if(completionsdir MATCHES "^/usr/(.+)$")
      set(completion_dir ${CMAKE_MATCH_1})
    endif()
  endif()
  set(QUENDRAL_BASH_COMPLETION_DIR ${completion_dir} CACHE PATH
      "Where the bash completion of quendral goes (relative: under the install prefix)")
endif()

install(TARGETS quendral RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT cli)
install(FILES ${PROJECT_BINARY_DIR}/man/quendral.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
        COMPONENT cli)
install(FILES ${PROJECT_SOURCE_DIR}/src/cli/quendral.bash-completion
        DESTINATION ${QUENDRAL_BASH_COMPLETION_DIR} RENAME quendral COMPONENT cli)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples
        COMPONENT cli FILES_MATCHING PATTERN "*.txt")

include(${PROJECT_SOURCE_DIR}/cmake/Package.cmake)
