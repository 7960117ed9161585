# The hash code that is not Crypto++, each from its own Debian package
# (tools/setup.sh installs them and checks their versions):
#   tallyra_blake3  BLAKE3's official C implementation (librust-blake3-dev)
#   tallyra_xxhash  the folder of xxHash's single header (libxxhash-dev)
#   ZLIB::ZLIB      zlib's CRC-32 and Adler-32 (libz-mingw-w64-dev for MinGW;
#                   with MSVC, vcpkg's zlib through find_package)
# The source folders are cache variables, so that a Windows build points them
# at copies of the same sources.
set(TALLYRA_BLAKE3_SOURCE_DIR /usr/share/cargo/registry/blake3-1.3.1/c CACHE PATH
  "BLAKE3's C implementation (the c/ folder of the blake3 crate)")
set(TALLYRA_XXHASH_INCLUDE_DIR /usr/include CACHE PATH "The folder holding xxHash's xxhash.h")

foreach(required ${TALLYRA_BLAKE3_SOURCE_DIR}/blake3.h ${TALLYRA_XXHASH_INCLUDE_DIR}/xxhash.h)
  if(NOT EXISTS ${required})
    message(FATAL_ERROR "${required} is missing: run tools/setup.sh, or set TALLYRA_BLAKE3_SOURCE_DIR / "
      "TALLYRA_XXHASH_INCLUDE_DIR to the folders that hold these sources")
  endif()
endforeach()

# BLAKE3: portable code plus every x86 SIMD variant, chosen at run time by
# blake3_dispatch.c. 64-bit MinGW takes the hand-written assembly for GNU
# assemblers (the intrinsics would need 32-byte stack alignment, which GCC
# does not give on 64-bit Windows); other targets take the intrinsics files,
# each with its own instruction-set flags only.
set(_blake3 ${TALLYRA_BLAKE3_SOURCE_DIR})
set(_blake3_sources ${_blake3}/blake3.c ${_blake3}/blake3_dispatch.c ${_blake3}/blake3_portable.c)
if(MINGW AND CMAKE_SIZEOF_VOID_P EQUAL 8)
  enable_language(ASM)
  foreach(isa sse2 sse41 avx2 avx512)
    list(APPEND _blake3_sources ${_blake3}/blake3_${isa}_x86-64_windows_gnu.S)
  endforeach()
else()
  list(APPEND _blake3_sources ${_blake3}/blake3_sse2.c ${_blake3}/blake3_sse41.c ${_blake3}/blake3_avx2.c
    ${_blake3}/blake3_avx512.c)
  if(MSVC)
    set_source_files_properties(${_blake3}/blake3_avx2.c PROPERTIES COMPILE_OPTIONS "/arch:AVX2")
    set_source_files_properties(${_blake3}/blake3_avx512.c PROPERTIES COMPILE_OPTIONS "/arch:AVX512")
  else()
    set_source_files_properties(${_blake3}/blake3_sse2.c PROPERTIES COMPILE_OPTIONS "-msse2")
    set_source_files_properties(${_blake3}/blake3_sse41.c PROPERTIES COMPILE_OPTIONS "-msse4.1")
    set_source_files_properties(${_blake3}/blake3_avx2.c PROPERTIES COMPILE_OPTIONS "-mavx2")
    set_source_files_properties(${_blake3}/blake3_avx512.c PROPERTIES COMPILE_OPTIONS "-mavx512f;-mavx512vl")
  endif()
endif()
add_library(tallyra_blake3 STATIC ${_blake3_sources})
target_include_directories(tallyra_blake3 SYSTEM PUBLIC ${_blake3})
if(NOT MSVC)
  target_compile_options(tallyra_blake3 PRIVATE $<$<COMPILE_LANGUAGE:C>:-O3 -w>)
endif()

# xxHash: the one header, copied into the build folder so that the include
# path holds nothing else of the folder it comes from (/usr/include holds the
# build machine's own headers).
set(_xxhash_folder ${CMAKE_BINARY_DIR}/generated/xxhash)
configure_file(${TALLYRA_XXHASH_INCLUDE_DIR}/xxhash.h ${_xxhash_folder}/xxhash.h COPYONLY)
add_library(tallyra_xxhash INTERFACE)
target_include_directories(tallyra_xxhash SYSTEM INTERFACE ${_xxhash_folder})

# zlib, linked statically into MinGW binaries (no zlib1.dll beside them).
if(MINGW)
  set(ZLIB_USE_STATIC_LIBS ON)
endif()
find_package(ZLIB REQUIRED)
