# Version resources: every binary we ship carries the project's version
# (project(... VERSION) in the top CMakeLists.txt), its product name, the
# publisher and a description of its own.

set(TALLYRA_PUBLISHER "The Tallyra developers" CACHE INTERNAL "the publisher named in the version resources and the installer")

# tallyra_version_resource(TARGET DESCRIPTION [CONFIGURATION NAME] [LANGUAGE LANGID]
# [LANGUAGE_NAME TEXT]): adds a VERSIONINFO resource to TARGET (a DLL or an
# executable) from cmake/VersionInfo.rc.in. A configuration other than the
# full one is named in the description. LANGUAGE (default 0x0409, English)
# is the language of its strings; LANGUAGE_NAME adds the value "LanguageName":
# the name of the language of the user interface the binary carries, in that
# language.
function(tallyra_version_resource target description)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "CONFIGURATION;LANGUAGE;LANGUAGE_NAME" "")
  if(NOT arg_LANGUAGE)
    set(arg_LANGUAGE 0x0409)
  endif()
  math(EXPR TALLYRA_VERSION_LANGID "${arg_LANGUAGE}" OUTPUT_FORMAT HEXADECIMAL)
  string(SUBSTRING "${arg_LANGUAGE}" 2 -1 block)
  string(LENGTH "${block}" length)
  while(length LESS 4)
    string(PREPEND block 0)
    math(EXPR length "${length} + 1")
  endwhile()
  string(TOUPPER "${block}04B0" TALLYRA_VERSION_BLOCK)
  set(TALLYRA_VERSION_LANGUAGE_NAME "")
  if(arg_LANGUAGE_NAME)
    set(TALLYRA_VERSION_LANGUAGE_NAME "VALUE \"LanguageName\", \"${arg_LANGUAGE_NAME}\"")
  endif()
  if(arg_CONFIGURATION AND NOT arg_CONFIGURATION STREQUAL "full")
    string(APPEND description " (${arg_CONFIGURATION} configuration)")
  endif()
  get_target_property(type ${target} TYPE)
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  if(type STREQUAL "EXECUTABLE")
    set(TALLYRA_VERSION_FILETYPE VFT_APP)
    set(TALLYRA_VERSION_FILENAME ${name}.exe)
  else()
    set(TALLYRA_VERSION_FILETYPE VFT_DLL)
    set(TALLYRA_VERSION_FILENAME ${name}.dll)
  endif()
  set(TALLYRA_VERSION_TARGET ${target})
  set(TALLYRA_VERSION_INTERNAL_NAME ${name})
  set(TALLYRA_VERSION_DESCRIPTION ${description})
  set(rc ${CMAKE_BINARY_DIR}/generated/version/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/VersionInfo.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
