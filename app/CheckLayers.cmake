# Fails when a folder of the program includes a folder it does not link:
# the engine sees only the platform, the widgets only the drawing pieces, the
# thumbnail grid the engine too. Runs at configure time (included from
# app/CMakeLists.txt) and as a test: cmake -DAPP_DIR=<app folder> -P CheckLayers.cmake
if(NOT APP_DIR)
  set(APP_DIR ${CMAKE_CURRENT_LIST_DIR})
endif()
set(_forbidden_engine shell thumbs widgets)
set(_forbidden_widgets shell thumbs engine)
set(_forbidden_thumbs shell widgets)
set(_layer_faults "")
foreach(layer engine widgets thumbs)
  file(GLOB _files ${APP_DIR}/${layer}/*.h ${APP_DIR}/${layer}/*.cpp)
  list(JOIN _forbidden_${layer} "|" _above)
  foreach(f IN LISTS _files)
    file(STRINGS ${f} _hits REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<](\\.\\./)?(${_above})/")
    foreach(h IN LISTS _hits)
      string(APPEND _layer_faults "\n  ${f}: ${h}")
    endforeach()
  endforeach()
endforeach()
if(_layer_faults)
  message(FATAL_ERROR "A lower layer of murivo includes one it does not link:${_layer_faults}")
endif()
