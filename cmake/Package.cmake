# The Debian package of the command-line tool: cpack -G DEB in a build folder (scripts/package-deb
# does it for the release build). Its Depends line is computed by dpkg-shlibdeps from the
# libraries the installed program links, not written here. The release tool links statically
# (static-pie, CaDiCaL's archive, see CMakeLists.txt), and the line is then empty; a build that
# links shared libraries (where -static-pie is not available) gets their packages named.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quendral)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(QUENDRAL_PACKAGE_MAINTAINER "Quendral maintainers <maintainers@quendral.invalid>" CACHE STRING
    "The Maintainer field of the Debian package: name <address>")
set(CPACK_PACKAGE_CONTACT ${QUENDRAL_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QUENDRAL_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "decides formal logic written as plain text")
# The extended description, below the summary line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quendral reads statements and arguments in a compact plain-text notation
over sentence letters, connectives, monadic predicates, identity,
quantifiers, S5 modality, two-term and counting forms, and decides whether a
statement is necessary, contingent or self-contradictory and whether an
argument is valid. It shows the examples and counterexamples behind a
verdict, writes JSON for editors and scripts, draws formula trees with
Graphviz and hands documents to Prover9 and Mace4.")
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Outside programs that two commands run when they are in PATH: depict (Graphviz dot) and prove
# (prover9, mace4).
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "graphviz, prover9")
# Installed into the staging folder through DESTDIR, so that the prefix the install sees (and
# the manual page names) is /usr, and not the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
include(CPack)
