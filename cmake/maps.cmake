# The map pages and the embedded browser that shows them.
# The two page files are built from the templates in res/map with Leaflet (the
# system's libjs-leaflet) and the world outline (res/positioning/Morvane_world.dat)
# put inline, then compiled into ulvmaps as the Qt resource "ulvmaps" (:/map/...).
if(ULV_FUZZ)
  return()
endif()

# The browser layer (ui/maps) is a library of its own that keeps WebEngine to
# itself: its headers name no WebEngine type, so the rest of the program builds
# as before.
find_package(Qt6 REQUIRED COMPONENTS WebEngineWidgets)
file(GLOB ULV_MAPS_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/ui/maps/*.cpp ${CMAKE_SOURCE_DIR}/ui/maps/*.h)
add_library(ulvmaps STATIC ${ULV_MAPS_SOURCES})
target_link_libraries(ulvmaps PUBLIC ulvcore Qt6::Widgets PRIVATE Qt6::WebEngineWidgets)
target_link_libraries(ulvui PUBLIC ulvmaps)

set(ULV_LEAFLET_DIR "/usr/share/javascript/leaflet" CACHE PATH "Leaflet (Debian libjs-leaflet)")
foreach(f leaflet.js leaflet.css)
  if(NOT EXISTS ${ULV_LEAFLET_DIR}/${f})
    message(FATAL_ERROR "${ULV_LEAFLET_DIR}/${f} is missing: install libjs-leaflet")
  endif()
endforeach()

add_executable(ulvmappage res/map/MapPageBuilder.cpp)
target_link_libraries(ulvmappage PRIVATE ulvcore)

set(ULV_MAP_DIR ${CMAKE_BINARY_DIR}/map)
file(MAKE_DIRECTORY ${ULV_MAP_DIR})
set(ULV_WORLD_DAT ${CMAKE_SOURCE_DIR}/res/positioning/Morvane_world.dat)
set(ULV_MAP_PAGES)
foreach(page morvane_google.html morvane_baidu.html)
  add_custom_command(OUTPUT ${ULV_MAP_DIR}/${page}
    COMMAND ulvmappage ${CMAKE_SOURCE_DIR}/res/map/${page}.in ${ULV_LEAFLET_DIR}/leaflet.css
            ${ULV_LEAFLET_DIR}/leaflet.js ${ULV_WORLD_DAT} ${ULV_MAP_DIR}/${page}
    DEPENDS ulvmappage ${CMAKE_SOURCE_DIR}/res/map/${page}.in ${ULV_LEAFLET_DIR}/leaflet.css
            ${ULV_LEAFLET_DIR}/leaflet.js ${ULV_WORLD_DAT}
    COMMENT "Building the map page ${page}"
    VERBATIM)
  list(APPEND ULV_MAP_PAGES ${ULV_MAP_DIR}/${page})
endforeach()

set(ULV_MAP_QRC ${ULV_MAP_DIR}/ulvmaps.qrc)
file(CONFIGURE OUTPUT ${ULV_MAP_QRC} CONTENT [[<RCC>
  <qresource prefix="/map">
    <file>morvane_google.html</file>
    <file>morvane_baidu.html</file>
  </qresource>
</RCC>
]])
set(ULV_MAP_RCC_CPP ${ULV_MAP_DIR}/qrc_ulvmaps.cpp)
add_custom_command(OUTPUT ${ULV_MAP_RCC_CPP}
  COMMAND Qt6::rcc --name ulvmaps --output ${ULV_MAP_RCC_CPP} ${ULV_MAP_QRC}
  DEPENDS ${ULV_MAP_QRC} ${ULV_MAP_PAGES}
  WORKING_DIRECTORY ${ULV_MAP_DIR}
  COMMENT "Compiling the map pages into ulvmaps"
  VERBATIM)
set_source_files_properties(${ULV_MAP_RCC_CPP} PROPERTIES
  GENERATED TRUE SKIP_AUTOMOC ON SKIP_AUTOUIC ON SKIP_AUTORCC ON)
target_sources(ulvmaps PRIVATE ${ULV_MAP_RCC_CPP})
