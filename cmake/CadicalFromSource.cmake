# CaDiCaL built from its source, for the builds that find no installed library: the Windows
# plugin DLLs. scripts/setup unpacks Debian's source package of the library the native build
# links into build/third_party/cadical. Defines the static library quendral_cadical when the
# source is there, and sets QUENDRAL_CADICAL_FROM_SOURCE.
set(QUENDRAL_CADICAL_SOURCE_DIR ${PROJECT_SOURCE_DIR}/build/third_party/cadical CACHE PATH
    "Unpacked CaDiCaL source (the folder holding src/cadical.hpp), built where none is installed")

set(QUENDRAL_CADICAL_FROM_SOURCE OFF)
if(NOT EXISTS ${QUENDRAL_CADICAL_SOURCE_DIR}/src/cadical.hpp)
  return()
endif()
set(QUENDRAL_CADICAL_FROM_SOURCE ON)

# Every library source: the solver programs (cadical, mobical) and the IPASIR interface are left
# out.
file(GLOB cadical_sources ${QUENDRAL_CADICAL_SOURCE_DIR}/src/*.cpp)
list(FILTER cadical_sources EXCLUDE REGEX "/(cadical|mobical|ipasir)\\.cpp$")

# The version the package names (debian/changelog); the VERSION file of 1.5.3 still says 1.5.2.
set(cadical_version "")
if(EXISTS ${QUENDRAL_CADICAL_SOURCE_DIR}/debian/changelog)
  file(STRINGS ${QUENDRAL_CADICAL_SOURCE_DIR}/debian/changelog changelog_head LIMIT_COUNT 1)
  string(REGEX MATCH "\\(([0-9][0-9.]*)" ignored "${changelog_head}")
  set(cadical_version ${CMAKE_MATCH_1})
endif()
if(cadical_version STREQUAL "")
  file(STRINGS ${QUENDRAL_CADICAL_SOURCE_DIR}/VERSION cadical_version LIMIT_COUNT 1)
endif()

add_library(quendral_cadical STATIC ${cadical_sources})
target_include_directories(quendral_cadical SYSTEM INTERFACE ${QUENDRAL_CADICAL_SOURCE_DIR}/src)
target_compile_definitions(quendral_cadical PRIVATE
  # No generated build.hpp: version.cpp then takes the compiler from the compiler itself, and
  # the version from here.
  NBUILD
  VERSION="${cadical_version}")
if(WIN32)
  target_compile_definitions(quendral_cadical PRIVATE
    # The stdio of the Windows runtime has the lock-free character functions under these names.
    getc_unlocked=_getc_nolock
    putc_unlocked=_putc_nolock
    # The memory counters from kernel32 (K32GetProcessMemoryInfo), not from psapi.dll: the
    # plugin imports nothing beyond what it did without the solver.
    PSAPI_VERSION=2)
endif()
# Foreign code: its warnings are not ours to fix.
target_compile_options(quendral_cadical PRIVATE -w)
message(STATUS "CaDiCaL ${cadical_version} built from ${QUENDRAL_CADICAL_SOURCE_DIR}")
