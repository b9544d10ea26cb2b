# Common compile settings for every target of the project.
function(vx_target_settings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow=local -Wno-missing-field-initializers)
  if(VX_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

if(VX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Every symbol is bound when a binary is loaded, as the system's libraries are, rather than at
# each function's first call: a call made for the first time long after start-up would look its
# symbol up through the symbol tables of every loaded library again, and read back into memory
# the tables the program gives back once it has started (platform/loader_tables.h).
add_link_options(LINKER:-z,now)

# Nothing replaces the data library's functions from outside (no preloading, no second
# definition), so its code calls and inlines its own functions directly instead of through the
# procedure linkage table that position-independent code otherwise assumes may be rebound.
add_compile_options(-fno-semantic-interposition)

# Collects the sources of a layer folder. Every .cpp below the folder belongs to the layer,
# so adding a file needs no edit of the build files.
function(vx_collect_sources out dir)
  file(GLOB_RECURSE _srcs CONFIGURE_DEPENDS "${dir}/*.cpp")
  set(${out} ${_srcs} PARENT_SCOPE)
endfunction()

# A layer's library: an object library of every .cpp below the folder (so that the shared
# library that links it carries its code once), or an interface library while the folder has
# no sources yet. EXCLUDE names subfolders that are targets of their own.
function(vx_layer_library name dir)
  cmake_parse_arguments(ARG "" "" "EXCLUDE" ${ARGN})
  vx_collect_sources(_srcs ${dir})
  list(FILTER _srcs EXCLUDE REGEX "/main\\.cpp$")
  foreach(_sub IN LISTS ARG_EXCLUDE)
    list(FILTER _srcs EXCLUDE REGEX "^${dir}/${_sub}/")
  endforeach()
  if(_srcs)
    add_library(${name} OBJECT ${_srcs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_UNPARSED_ARGUMENTS})
    vx_target_settings(${name})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_UNPARSED_ARGUMENTS})
  endif()
endfunction()
