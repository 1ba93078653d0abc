# Delay-loaded libraries. A statically imported DLL is loaded before the
# program's first line, searched in the program folder first when it is not
# one of the system's known DLLs. Delay-loaded, it loads at its first call,
# after RestrictDllSearchToSystemFolder has limited the search to the system
# folder; known DLLs that only a rare path needs stay off the start-up path.

# lodo_delay_import_library(NAME DEF): with MinGW, an import library of
# delay-load thunks for NAME.dll, made from the exports listed in DEF.
function(lodo_delay_import_library name def)
  if(NOT MINGW)
    return()
  endif()
  set(lib ${CMAKE_BINARY_DIR}/lib/lib${name}_delay.a)
  set(LODO_DELAYLIB_${name} ${lib} CACHE INTERNAL "")
  add_custom_command(OUTPUT ${lib}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/lib
    COMMAND ${CMAKE_DLLTOOL} -d ${def} -y ${lib} -D ${name}.dll
    DEPENDS ${def}
    VERBATIM)
  add_custom_target(${name}_delaylib DEPENDS ${lib})
endfunction()

# lodo_delay_load(TARGET NAME...): the executable TARGET loads each NAME.dll
# only at its first call.
function(lodo_delay_load target)
  foreach(name IN LISTS ARGN)
    if(MSVC)
      target_link_options(${target} PRIVATE /DELAYLOAD:${name}.dll)
    elseif(MINGW)
      add_dependencies(${target} ${name}_delaylib)
      # Whole-archive, so that its thunks win over the plain import library
      # wherever that appears on the link line; one group per library, since
      # CMake drops repeated single options.
      target_link_options(${target} PRIVATE
        "SHELL:-Wl,--whole-archive ${LODO_DELAYLIB_${name}} -Wl,--no-whole-archive")
    endif()
  endforeach()
  if(MSVC OR MINGW)
    target_link_libraries(${target} PRIVATE delayimp)
  endif()
endfunction()
