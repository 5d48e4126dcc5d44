# The libraries the Windows cross build takes from the Linux host. Debian ships GoogleTest as source
# (/usr/src/googletest), built here with the cross compiler; CLI11 and nlohmann-json are headers
# only. Their headers are staged in a folder of their own: putting /usr/include itself on the
# include path would let glibc's headers stand in for mingw's.
set(ORSA_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for the cross build")

if(BUILD_TESTING)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${ORSA_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # GoogleTest's own CMake names its targets GTest::gtest, GTest::gtest_main and GTest::gmock.
endif()

set(staged ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${staged})
foreach(folder CLI nlohmann)
  if(NOT EXISTS /usr/include/${folder})
    message(FATAL_ERROR "/usr/include/${folder} is missing: run scripts/install-deps.sh")
  endif()
  file(CREATE_LINK /usr/include/${folder} ${staged}/${folder} SYMBOLIC)
endforeach()

add_library(CLI11::CLI11 INTERFACE IMPORTED)
set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${staged})
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${staged})
