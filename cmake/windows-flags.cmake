# Settings shared by every Windows binary of the project.
add_library(tallyra_windows INTERFACE)
target_compile_definitions(tallyra_windows INTERFACE
  UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601 WINVER=0x0601
  CRYPTOPP_ENABLE_NAMESPACE_WEAK=1)
if(MSVC)
  target_compile_options(tallyra_windows INTERFACE /W4 /utf-8 /EHsc)
else()
  target_compile_options(tallyra_windows INTERFACE -Wall -Wextra)
  # A shell extension must not need runtime DLLs beside it.
  target_link_options(tallyra_windows INTERFACE -static -static-libgcc -static-libstdc++)
endif()

# 32-bit: the .def files export the undecorated names of the stdcall entry
# points (DllGetClassObject@12 as DllGetClassObject), as Windows expects.
if(MINGW AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  target_link_options(tallyra_windows INTERFACE -Wl,--enable-stdcall-fixup)
endif()

# Console programs with a wide main().
function(tallyra_console_program target)
  if(MINGW)
    target_link_options(${target} PRIVATE -municode)
  endif()
endfunction()

# The string table (UTF-8 sources) is compiled with the UTF-8 code page.
if(MINGW)
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
endif()

target_include_directories(tallyra_windows INTERFACE ${PROJECT_SOURCE_DIR})

# The engine, the settings store and the string table of a configuration
# (config/CMakeLists.txt), linked into a binary; of a compact configuration,
# which has no engine or settings, its string table.
function(tallyra_link_core target configuration)
  target_link_libraries(${target} PRIVATE tallyra_strings_${configuration} tallyra_windows)
  if(TARGET tallyra_engine_${configuration})
    target_link_libraries(${target} PRIVATE tallyra_engine_${configuration} tallyra_settings_${configuration})
  endif()
endfunction()
