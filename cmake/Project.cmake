# Shared compile and link settings for every lodo target.

# Windows 10 API level; the program still runs on anything Wine 8 emulates.
add_compile_definitions(WINVER=0x0A00 _WIN32_WINNT=0x0A00 NOMINMAX WIN32_LEAN_AND_MEAN STRICT)

include(${CMAKE_CURRENT_LIST_DIR}/DelayLoad.cmake)

function(lodo_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX /permissive- /utf-8)
  else()
    target_compile_options(${target} PRIVATE
      -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wnon-virtual-dtor
      -Woverloaded-virtual -Wimplicit-fallthrough -Werror
      # GCC 12 reports impossible overlaps inside std::string concatenation
      # at -O2 and above (a known false positive of -Wrestrict).
      -Wno-restrict)
  endif()
  if(LODO_UBSAN AND NOT MSVC)
    target_compile_options(${target} PRIVATE -fsanitize=undefined -fsanitize-undefined-trap-on-error)
  endif()
endfunction()

# A static library of one folder: sources, public include root = the repo root.
function(lodo_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  lodo_warnings(${name})
endfunction()

# Executables link statically and carry no PE timestamp, so builds reproduce
# and the exe imports only system DLLs.
function(lodo_executable_settings target)
  lodo_warnings(${target})
  if(MINGW)
    target_link_options(${target} PRIVATE -static -Wl,--no-insert-timestamp)
  endif()
endfunction()
