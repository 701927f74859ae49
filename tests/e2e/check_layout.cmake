# Compares the staged media with what `cmake --install` and the CPack ZIP
# produce: the same five files, byte for byte.
#   cmake -DBUILD_DIR=... -DSTAGE_DIR=... -DCPACK=... -P check_layout.cmake
set(expected Setup.exe data/data1.exe data/data2.exe file/File.exe speech.exe)
set(work "${BUILD_DIR}/layout-check")
file(REMOVE_RECURSE "${work}")

function(expect_layout what dir)
  file(GLOB_RECURSE found RELATIVE "${dir}" "${dir}/*")
  list(SORT found)
  if(NOT found STREQUAL expected)
    message(FATAL_ERROR "${what} holds [${found}], expected [${expected}]")
  endif()
  foreach(f IN LISTS expected)
    file(SHA256 "${dir}/${f}" a)
    file(SHA256 "${STAGE_DIR}/${f}" b)
    if(NOT a STREQUAL b)
      message(FATAL_ERROR "${what}: ${f} differs from the staged one")
    endif()
  endforeach()
  message(STATUS "${what}: ${found}")
endfunction()

expect_layout("staged media" "${STAGE_DIR}")

execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${work}/installed"
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${rc})")
endif()
expect_layout("installed tree" "${work}/installed")

execute_process(COMMAND "${CPACK}" -G ZIP -B "${work}/package" WORKING_DIRECTORY "${BUILD_DIR}"
                RESULT_VARIABLE rc OUTPUT_QUIET)
file(GLOB zips "${work}/package/*.zip")
list(LENGTH zips n)
if(NOT rc EQUAL 0 OR NOT n EQUAL 1)
  message(FATAL_ERROR "cpack made no single ZIP (status ${rc}, ${zips})")
endif()
file(ARCHIVE_EXTRACT INPUT "${zips}" DESTINATION "${work}/unzipped")
expect_layout("ZIP" "${work}/unzipped")
file(REMOVE_RECURSE "${work}")
