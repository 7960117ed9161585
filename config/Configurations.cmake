# The configurations the build makes, one line each: NAME MODULE PAGE.
#   NAME    its folder config/NAME/ and its value configurations::kNAME in
#           config/Configurations.h (the name capitalised), which says what
#           the code built for it does
#   MODULE  the DLL it ships: bin/NAME/MODULE.dll
#   PAGE    catalogue: the list of digests over the hash catalogue, with its
#           settings, language modules and tallyra-hash; compact: a page of
#           three fixed digests hashed by the page's own job
set(TALLYRA_CONFIGURATION_TABLE
  "full     Tallyra32  catalogue"
  "reduced  Tallyra32  catalogue"
  "compact  Tallyra    compact")

# From the table: TALLYRA_CONFIGURATIONS (every name), TALLYRA_CATALOGUE_CONFIGURATIONS
# (those with the catalogue's page), and for each NAME TALLYRA_MODULE_NAME and TALLYRA_PAGE_NAME.
set(TALLYRA_CONFIGURATIONS "")
set(TALLYRA_CATALOGUE_CONFIGURATIONS "")
foreach(line IN LISTS TALLYRA_CONFIGURATION_TABLE)
  string(REGEX MATCHALL "[^ ]+" fields "${line}")
  list(GET fields 0 name)
  list(GET fields 1 TALLYRA_MODULE_${name})
  list(GET fields 2 TALLYRA_PAGE_${name})
  list(APPEND TALLYRA_CONFIGURATIONS ${name})
  if(TALLYRA_PAGE_${name} STREQUAL catalogue)
    list(APPEND TALLYRA_CATALOGUE_CONFIGURATIONS ${name})
  endif()
endforeach()
