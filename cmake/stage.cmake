# The installation media's layout, made by every build of the Windows program:
#
#   Setup.exe  speech.exe  data\data1.exe  data\data2.exe  file\File.exe
#
# The companions are not ours; a stand-in that records its own start takes the
# place of each (tools/standins). The same layout is what `cmake --install`
# writes to its prefix and what the CPack ZIP holds.
set(KVD_STAGE_DIR "${CMAKE_SOURCE_DIR}/build/stage" CACHE PATH "Folder the media layout is staged in")

add_subdirectory("${CMAKE_SOURCE_DIR}/tools/standins" "${CMAKE_BINARY_DIR}/tools/standins")

# Relative path on the media -> program that provides it.
set(kvd_media_files Setup.exe speech.exe data/data1.exe data/data2.exe file/File.exe)
set(kvd_media_sources
    "$<TARGET_FILE:Setup>" "$<TARGET_FILE:kvd_standin>" "$<TARGET_FILE:kvd_standin>"
    "$<TARGET_FILE:kvd_standin>" "$<TARGET_FILE:kvd_standin>")

set(kvd_stage_outputs "")
set(kvd_stage_commands "")
foreach(file source IN ZIP_LISTS kvd_media_files kvd_media_sources)
  list(APPEND kvd_stage_outputs "${KVD_STAGE_DIR}/${file}")
  list(APPEND kvd_stage_commands COMMAND "${CMAKE_COMMAND}" -E copy "${source}" "${KVD_STAGE_DIR}/${file}")
endforeach()

add_custom_command(
  OUTPUT ${kvd_stage_outputs}
  COMMAND "${CMAKE_COMMAND}" -E make_directory "${KVD_STAGE_DIR}/data" "${KVD_STAGE_DIR}/file"
  ${kvd_stage_commands}
  DEPENDS Setup kvd_standin "$<TARGET_FILE:Setup>" "$<TARGET_FILE:kvd_standin>"
  COMMENT "Staging the media layout in ${KVD_STAGE_DIR}"
  VERBATIM)
add_custom_target(stage ALL DEPENDS ${kvd_stage_outputs})

install(TARGETS Setup RUNTIME DESTINATION .)
install(PROGRAMS "$<TARGET_FILE:kvd_standin>" DESTINATION . RENAME speech.exe)
install(PROGRAMS "$<TARGET_FILE:kvd_standin>" DESTINATION data RENAME data1.exe)
install(PROGRAMS "$<TARGET_FILE:kvd_standin>" DESTINATION data RENAME data2.exe)
install(PROGRAMS "$<TARGET_FILE:kvd_standin>" DESTINATION file RENAME File.exe)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Keyvandor)
set(CPACK_PACKAGE_VENDOR Keyvandor)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_FILE_NAME "Keyvandor-${PROJECT_VERSION}-media")
# The archive's root is the media's root.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)

# What a vendor ships (tools/release/make_media.py): the staged files with
# autorun.inf, as a disc image and a ZIP, with Setup.exe as it is on them
# (signed when KVD_SIGN_CERT and KVD_SIGN_KEY name PEM files) and the SHA-256
# sums of the three. script/release makes them from a clean build.
set(KVD_RELEASE_DIR "${CMAKE_BINARY_DIR}/release" CACHE PATH "Folder the disc image, the ZIP and their sums go to")
set(KVD_SIGN_CERT "" CACHE FILEPATH "PEM certificate Setup.exe is signed with on the media (none: unsigned)")
set(KVD_SIGN_KEY "" CACHE FILEPATH "PEM private key of KVD_SIGN_CERT")
set(kvd_release_outputs "${KVD_RELEASE_DIR}/Setup.exe" "${KVD_RELEASE_DIR}/Keyvandor-${PROJECT_VERSION}-media.zip"
    "${KVD_RELEASE_DIR}/Keyvandor.iso" "${KVD_RELEASE_DIR}/SHA256SUMS")
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(kvd_sign_inputs "")
if(KVD_SIGN_CERT OR KVD_SIGN_KEY)
  set(kvd_sign_inputs "${KVD_SIGN_CERT}" "${KVD_SIGN_KEY}")
endif()
add_custom_command(
  OUTPUT ${kvd_release_outputs}
  COMMAND "${Python3_EXECUTABLE}" "${CMAKE_SOURCE_DIR}/tools/release/make_media.py"
          --stage "${KVD_STAGE_DIR}" --work "${CMAKE_BINARY_DIR}/media" --out "${KVD_RELEASE_DIR}"
          --version "${PROJECT_VERSION}" --epoch "${KVD_SOURCE_DATE_EPOCH}"
          --sign-cert "${KVD_SIGN_CERT}" --sign-key "${KVD_SIGN_KEY}" ${kvd_media_files}
  DEPENDS ${kvd_stage_outputs} "${CMAKE_SOURCE_DIR}/tools/release/make_media.py" ${kvd_sign_inputs}
  COMMENT "Making the disc image and the ZIP in ${KVD_RELEASE_DIR}"
  VERBATIM)
add_custom_target(media ALL DEPENDS ${kvd_release_outputs})
