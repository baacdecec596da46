# korvane_library(name [DEPS lib...] [ALLEGRO])
# One static library per source folder, from every .cpp file in it; a folder without
# sources yet becomes an interface library so that dependants still configure.
# Each library sees its headers as "folder/name.h" through an include folder of its own in
# the build tree, which holds only a link to its source folder: a library sees its own
# headers and those of the libraries it links (and theirs), never the others.
function(korvane_library name)
  cmake_parse_arguments(ARG "ALLEGRO" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/(korvane|korvaned)\\.cpp$")
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  set(include_root ${CMAKE_BINARY_DIR}/include/${folder})
  file(MAKE_DIRECTORY ${include_root})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${include_root}/${folder} SYMBOLIC)
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${include_root})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    if(ARG_ALLEGRO)
      target_link_libraries(${name} PUBLIC korvane_allegro)
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${include_root})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
    if(ARG_ALLEGRO)
      target_link_libraries(${name} INTERFACE korvane_allegro)
    endif()
  endif()
endfunction()

if(NOT KORVANE_HEADLESS)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(ALLEGRO REQUIRED IMPORTED_TARGET allegro)
  pkg_check_modules(LOADPNG REQUIRED IMPORTED_TARGET loadpng)
  pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
  pkg_check_modules(JPEG REQUIRED IMPORTED_TARGET libjpeg)
  # The client watches its X display itself (Allegro's X11 driver links Xlib already).
  pkg_check_modules(X11 REQUIRED IMPORTED_TARGET x11)
  # Allegro's headers are included as system headers so that the 4.0 compatibility
  # interface (marked deprecated) does not warn in every file that includes them.
  add_library(korvane_allegro INTERFACE)
  get_target_property(allegro_includes PkgConfig::ALLEGRO INTERFACE_INCLUDE_DIRECTORIES)
  target_include_directories(korvane_allegro SYSTEM INTERFACE /usr/include ${allegro_includes})
  target_compile_options(korvane_allegro INTERFACE -Wno-deprecated-declarations)
  target_link_libraries(korvane_allegro INTERFACE PkgConfig::LOADPNG PkgConfig::ALLEGRO
                        PkgConfig::FREETYPE PkgConfig::JPEG PkgConfig::X11)
endif()
