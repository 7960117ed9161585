# Crypto++ as the target cryptopp::cryptopp.
#
# With TALLYRA_CRYPTOPP_SOURCE_DIR set (the Linux cross build), only the files
# the hashes we take from it need are compiled into a static library. The SIMD
# dispatch files get their ISA flags individually, as Crypto++'s own makefile
# does, so the library still runs on CPUs without them: Crypto++ picks the
# code path at run time. Otherwise (MSVC with vcpkg) the installed package is used.
set(TALLYRA_CRYPTOPP_SOURCE_DIR "" CACHE PATH "Crypto++ sources to build the hash subset from")

if(TALLYRA_CRYPTOPP_SOURCE_DIR)
  set(_cryptopp_units
    cryptlib cpu misc allocate algparam queue mqueue filters fips140 iterhash
    sse_simd crc crc_simd adler32 md2 md4 md5 ripemd sha sha_simd tiger tigertab whrlpool
    sha3 keccak_core blake2 blake2b_simd blake2s_simd)
  set(_cryptopp_sources)
  foreach(unit IN LISTS _cryptopp_units)
    list(APPEND _cryptopp_sources ${TALLYRA_CRYPTOPP_SOURCE_DIR}/${unit}.cpp)
  endforeach()
  add_library(cryptopp_hashes STATIC ${_cryptopp_sources} ${CMAKE_CURRENT_LIST_DIR}/cryptopp_integer_stubs.cpp)
  target_include_directories(cryptopp_hashes SYSTEM PUBLIC ${TALLYRA_CRYPTOPP_SOURCE_DIR})
  # The asserts of the library are for its own debugging, not ours.
  target_compile_definitions(cryptopp_hashes PUBLIC CRYPTOPP_NO_ASSIGN_TO_INTEGER PRIVATE NDEBUG)
  if(NOT MSVC)
    target_compile_options(cryptopp_hashes PRIVATE -O3 -w)
    set_source_files_properties(${TALLYRA_CRYPTOPP_SOURCE_DIR}/sse_simd.cpp PROPERTIES COMPILE_OPTIONS "-msse2")
    set_source_files_properties(${TALLYRA_CRYPTOPP_SOURCE_DIR}/crc_simd.cpp PROPERTIES COMPILE_OPTIONS "-msse4.2")
    set_source_files_properties(${TALLYRA_CRYPTOPP_SOURCE_DIR}/sha_simd.cpp PROPERTIES COMPILE_OPTIONS "-msse4.2;-msha")
    set_source_files_properties(${TALLYRA_CRYPTOPP_SOURCE_DIR}/blake2b_simd.cpp
      ${TALLYRA_CRYPTOPP_SOURCE_DIR}/blake2s_simd.cpp PROPERTIES COMPILE_OPTIONS "-msse4.1")
  endif()
  if(TALLYRA_CRYPTOPP_PORTABLE)
    target_compile_definitions(cryptopp_hashes PUBLIC CRYPTOPP_DISABLE_ASM)
  endif()
  add_library(cryptopp::cryptopp ALIAS cryptopp_hashes)
else()
  find_package(cryptopp CONFIG REQUIRED)
endif()
