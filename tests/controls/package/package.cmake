# Drives the installed-package checks from CTest, one step per MODE:
#   install   - install the library's component into PREFIX and look at what landed
#   consumer  - configure, build and run the outside project against PREFIX
#   pkgconfig - ask pkg-config about the installed library
#   abi       - compare the installed library with its committed ABI baseline
# Every failure ends the script with a message, which fails the test.

foreach(var MODE PREFIX LIBDIR SONAME)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "package.cmake: ${var} not given")
  endif()
endforeach()

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    list(JOIN ARGN " " cmd)
    message(FATAL_ERROR "failed (${rc}): ${cmd}\n${out}\n${err}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()

function(expect_file path)
  if(NOT EXISTS "${path}")
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endfunction()

set(libdir "${PREFIX}/${LIBDIR}")

if(MODE STREQUAL "install")
  file(REMOVE_RECURSE "${PREFIX}")
  run("${CMAKE_COMMAND}" --install "${BUILD_DIR}" --component quilObjects --prefix "${PREFIX}")

  expect_file("${libdir}/${REALNAME}")
  expect_file("${libdir}/${SONAME}")
  expect_file("${libdir}/libquilObjects.so")
  expect_file("${PREFIX}/include/quilObjects/quilObjects.h")
  expect_file("${PREFIX}/include/quilObjects/PropertyBag.h")
  expect_file("${libdir}/cmake/quilObjects/quilObjectsConfig.cmake")
  expect_file("${libdir}/cmake/quilObjects/quilObjectsConfigVersion.cmake")
  expect_file("${libdir}/pkgconfig/quilObjects.pc")
  if(PLUGIN)
    expect_file("${PREFIX}/${PLUGIN}")
  endif()
  # Nothing of the source tree or of murivo's program may come along.
  file(GLOB_RECURSE everything RELATIVE "${PREFIX}" "${PREFIX}/*")
  foreach(f IN LISTS everything)
    if(f MATCHES "murivo|quilXButton|/platform/")
      message(FATAL_ERROR "installed a file that is not the library's: ${f}")
    endif()
  endforeach()

  # The loader finds the library by its soversion, which it must have.
  if(NOT SONAME MATCHES "^libquilObjects\\.so\\.[0-9]+$")
    message(FATAL_ERROR "the library's soname ${SONAME} carries no soversion")
  endif()
  run(objdump -p "${libdir}/${SONAME}")
  string(REPLACE "." "\\." soname_re "${SONAME}")
  if(NOT run_output MATCHES "SONAME +${soname_re}\n")
    message(FATAL_ERROR "${SONAME} does not carry the soname ${SONAME}:\n${run_output}")
  endif()
  # Hidden by default: the private button and the platform layer stay inside.
  run(nm -D -C --defined-only "${libdir}/${SONAME}")
  # (The published property-bag interface may appear in signatures, nothing of the platform's own.)
  string(REGEX MATCHALL "[0-9a-f]+ [A-Za-z] ((typeinfo|typeinfo name|vtable|VTT) for )?platform::[^\n]*|[^\n]*quilXButton[^\n]*"
         leaked "${run_output}")
  if(leaked)
    list(JOIN leaked "\n" leaked)
    message(FATAL_ERROR "private symbols exported:\n${leaked}")
  endif()
  if(NOT run_output MATCHES "quil::quilButton::quilButton" OR NOT run_output MATCHES "quilCreateObject")
    message(FATAL_ERROR "public symbols missing from the library's exports")
  endif()

elseif(MODE STREQUAL "consumer")
  set(build "${WORK}/consumer-build")
  file(REMOVE_RECURSE "${build}")
  # The main build's sanitizer flags: the installed library needs their runtime.
  run("${CMAKE_COMMAND}" -S "${SOURCE}" -B "${build}" -G "${GENERATOR}"
      "-DCMAKE_MAKE_PROGRAM=${MAKE_PROGRAM}" "-DCMAKE_CXX_COMPILER=${CXX_COMPILER}"
      -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_PREFIX_PATH=${PREFIX}"
      "-DCMAKE_CXX_FLAGS=${SANITIZE_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${SANITIZE_FLAGS}"
      -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF -DCMAKE_FIND_USE_SYSTEM_PACKAGE_REGISTRY=OFF)
  # It must be the installed package that was found, not some other copy.
  file(STRINGS "${build}/CMakeCache.txt" found REGEX "^quilObjects_DIR:")
  file(REAL_PATH "${libdir}/cmake/quilObjects" expected)
  string(REGEX REPLACE "^[^=]*=" "" found "${found}")
  file(REAL_PATH "${found}" found)
  if(NOT found STREQUAL expected)
    message(FATAL_ERROR "found quilObjects in ${found}, not in ${expected}")
  endif()
  run("${CMAKE_COMMAND}" --build "${build}" --parallel 1)
  set(ENV{QT_QPA_PLATFORM} offscreen)
  run("${build}/quil_consumer" "${PREFIX}/${DATADIR}/quilObjects")
  message(STATUS "${run_output}")

elseif(MODE STREQUAL "pkgconfig")
  if(DEFINED ENV{PKG_CONFIG_PATH} AND NOT "$ENV{PKG_CONFIG_PATH}" STREQUAL "")
    set(ENV{PKG_CONFIG_PATH} "${libdir}/pkgconfig:$ENV{PKG_CONFIG_PATH}")
  else()
    set(ENV{PKG_CONFIG_PATH} "${libdir}/pkgconfig")
  endif()
  run(pkg-config --modversion quilObjects)
  string(STRIP "${run_output}" version)
  if(NOT version STREQUAL "1.0")
    message(FATAL_ERROR "pkg-config --modversion quilObjects printed '${version}', not 1.0")
  endif()
  # The file must describe where it was installed, not where it was built for.
  file(REAL_PATH "${libdir}" want_lib)
  file(REAL_PATH "${PREFIX}/include" want_include)
  foreach(pair "libdir;${want_lib}" "includedir;${want_include}")
    list(GET pair 0 name)
    list(GET pair 1 want)
    run(pkg-config --variable=${name} quilObjects)
    string(STRIP "${run_output}" got)
    string(REPLACE "\\ " " " got "${got}")   # pkg-config escapes blanks for the shell
    if(NOT IS_DIRECTORY "${got}")
      message(FATAL_ERROR "pkg-config's ${name} '${got}' is not a folder")
    endif()
    file(REAL_PATH "${got}" got)
    if(NOT got STREQUAL want)
      message(FATAL_ERROR "pkg-config's ${name} is ${got}, expected ${want}")
    endif()
  endforeach()

  # A program built with nothing but what pkg-config says. Its escaped blanks
  # are undone by splitting the way a shell would, without running one. The
  # standard and -fPIC are the program's own business, as with Qt's .pc files.
  run(pkg-config --cflags --libs quilObjects)
  separate_arguments(pc_flags UNIX_COMMAND "${run_output}")
  separate_arguments(san_flags UNIX_COMMAND "${SANITIZE_FLAGS}")
  set(program "${WORK}/pkgconfig-consumer")
  file(REMOVE "${program}")
  run("${CXX_COMPILER}" -std=c++20 -fPIC ${san_flags} "${SOURCE}/main.cpp" -o "${program}" ${pc_flags}
      "-Wl,-rpath,${want_lib}")
  set(ENV{QT_QPA_PLATFORM} offscreen)
  run("${program}")
elseif(MODE STREQUAL "abi")
  set(lib "${libdir}/${SONAME}")
  expect_file("${lib}")
  if(NOT EXISTS "${BASELINE}")
    message(FATAL_ERROR "no ABI baseline for ${SONAME} at ${BASELINE}: after a deliberate change "
                        "and a soversion bump, write it with scripts/abi-baseline")
  endif()
  if(NOT ABIDIFF)
    message(FATAL_ERROR "abidiff is missing: install abigail-tools (bash scripts/install-deps test)")
  endif()
  # The baseline describes a Debug build. Other kinds keep no types to compare
  # (Release) or inline away some of what it exports (RelWithDebInfo); say so
  # rather than fail, or pass on half a comparison.
  if(NOT BUILD_TYPE STREQUAL "Debug")
    message(STATUS "ABI check skipped: the baseline describes a Debug build, this is '${BUILD_TYPE}'")
    return()
  endif()
  execute_process(COMMAND "${ABIDIFF}" --suppressions "${SUPPRESSIONS}"
                          --headers-dir2 "${PREFIX}/include/quilObjects" --drop-private-types
                          "${BASELINE}" "${lib}"
                  RESULT_VARIABLE rc OUTPUT_VARIABLE report ERROR_VARIABLE err)
  # abidiff's status is a bit set: 1 error, 2 usage error, 4 some change,
  # 8 a change it calls incompatible (a removed symbol, a new soname). A
  # changed layout or signature only sets 4, yet breaks every program built
  # against the old headers, so only additions are let through.
  if(NOT rc MATCHES "^[0-9]+$")
    message(FATAL_ERROR "abidiff did not run: ${rc}\n${err}")
  endif()
  math(EXPR failed "${rc} & 3")
  math(EXPR incompatible "${rc} & 8")
  math(EXPR changed "${rc} & 4")
  if(failed)
    message(FATAL_ERROR "abidiff failed (${rc}):\n${report}\n${err}")
  endif()
  if(changed AND NOT incompatible)
    # Anything but "N Added" in the summaries is a change to what was there.
    string(REGEX MATCHALL "[0-9]+ (Removed|Changed)" counts "${report}")
    foreach(count IN LISTS counts)
      if(NOT count MATCHES "^0 ")
        set(incompatible 1)
      endif()
    endforeach()
    if(NOT counts)
      set(incompatible 1)
    endif()
  endif()
  if(incompatible)
    message(NOTICE "${report}")
    message(FATAL_ERROR "${SONAME} is not compatible with its baseline ${BASELINE} (abidiff ${rc}). "
                        "Undo the change, or make it on purpose: bump the soversion in "
                        "controls/CMakeLists.txt and run scripts/abi-baseline.")
  endif()
  if(changed)
    message(STATUS "${SONAME} only adds to its baseline:\n${report}")
  else()
    message(STATUS "${SONAME} matches its baseline")
  endif()

else()
  message(FATAL_ERROR "package.cmake: unknown MODE ${MODE}")
endif()
