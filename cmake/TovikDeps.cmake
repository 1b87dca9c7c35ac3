# Third-party libraries: libcurl and jsoncpp from the cross-built cache (scripts/build-deps.sh),
# zlib from Debian's mingw package, stb_image's header from libstb-dev, GoogleTest from the sources
# Debian's googletest package installs.
set(TOVIK_DEPS_CACHE "$ENV{HOME}/.cache/tovik-setup/deps" CACHE PATH "Cross-built dependency cache")

function(tovik_import_static name prefix lib)
  if(NOT EXISTS "${prefix}/lib/${lib}")
    message(FATAL_ERROR "${name}: ${prefix}/lib/${lib} is missing; run scripts/build-deps.sh")
  endif()
  add_library(${name} STATIC IMPORTED GLOBAL)
  set_target_properties(${name} PROPERTIES IMPORTED_LOCATION "${prefix}/lib/${lib}"
                                           INTERFACE_INCLUDE_DIRECTORIES "${prefix}/include")
endfunction()

find_library(TOVIK_ZLIB NAMES libz.a z REQUIRED)
add_library(tovik_zlib INTERFACE)
target_link_libraries(tovik_zlib INTERFACE ${TOVIK_ZLIB})

tovik_import_static(tovik_curl "${TOVIK_DEPS_CACHE}/curl/${TOVIK_TRIPLE}" libcurl.a)
set_property(TARGET tovik_curl APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS CURL_STATICLIB)
set_property(TARGET tovik_curl APPEND PROPERTY INTERFACE_LINK_LIBRARIES
             tovik_zlib ws2_32 crypt32 bcrypt secur32 advapi32 normaliz iphlpapi)

tovik_import_static(tovik_jsoncpp "${TOVIK_DEPS_CACHE}/libjsoncpp/${TOVIK_TRIPLE}" libjsoncpp.a)

add_library(tovik_stb INTERFACE)
target_include_directories(tovik_stb SYSTEM INTERFACE /usr/include/stb)

if(TOVIK_BUILD_TESTS)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
endif()
