# Fails when a source file reaches past its layer. Run by CTest as
#   cmake -DSOURCE_DIR=<tree> -P CheckLayers.cmake
#
# Layers, lowest first; a file includes only files of its own layer or below:
#   core -> engine -> widgets -> commands -> desktop -> app
# Also: engine/*.{h,cpp} outside engine/mpv and engine/midi know no mpv,
# one folder of commands/ includes no other (commands/Commands.h excepted),
# libmpv is included only in engine/mpv and engine/midi, no layer above the
# engine includes those two (the program loads them as a module at run
# time), and Qt's own dialogs only in widgets/QtCommonDialog.cpp.

set(layers core engine widgets commands desktop app)
set(problems "")

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
     ${SOURCE_DIR}/core/*.cpp ${SOURCE_DIR}/core/*.h
     ${SOURCE_DIR}/engine/*.cpp ${SOURCE_DIR}/engine/*.h
     ${SOURCE_DIR}/widgets/*.cpp ${SOURCE_DIR}/widgets/*.h
     ${SOURCE_DIR}/commands/*.cpp ${SOURCE_DIR}/commands/*.h
     ${SOURCE_DIR}/desktop/*.cpp ${SOURCE_DIR}/desktop/*.h
     ${SOURCE_DIR}/app/*.cpp ${SOURCE_DIR}/app/*.h)

foreach(source ${sources})
  string(REGEX MATCH "^[^/]+" layer ${source})
  list(FIND layers ${layer} rank)
  string(REGEX MATCH "^[^/]+/[^/]+/" subfolder ${source})
  file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^#include [\"<]")
  foreach(line ${includes})
    string(REGEX REPLACE "^#include [\"<]([^\">]+)[\">].*" "\\1" included "${line}")
    string(REGEX MATCH "^[^/]+" target ${included})
    list(FIND layers "${target}" targetRank)
    if(targetRank GREATER rank)
      list(APPEND problems "${source} (${layer}) includes ${included} (${target})")
    endif()
    if(source MATCHES "^engine/[^/]+$" AND included MATCHES "^(engine/mpv|engine/midi|mpv)/")
      list(APPEND problems "${source} is the engine's seam or area and includes ${included}")
    endif()
    if(source MATCHES "^commands/[^/]+/" AND included MATCHES "^commands/[^/]+/"
       AND NOT included MATCHES "^${subfolder}")
      list(APPEND problems "${source} includes another subsystem's ${included}")
    endif()
    if(included MATCHES "^engine/(mpv|midi)/" AND NOT source MATCHES "^engine/")
      list(APPEND problems "${source} (${layer}) includes ${included}, which only the engine module may hold")
    endif()
    if(included MATCHES "^mpv/" AND NOT source MATCHES "^engine/(mpv|midi)/")
      list(APPEND problems "${source} includes libmpv's ${included}")
    endif()
    if(included MATCHES "^(QFileDialog|QColorDialog|QMessageBox|QInputDialog)$"
       AND NOT source STREQUAL "widgets/QtCommonDialog.cpp")
      list(APPEND problems "${source} shows a Qt dialog (${included}) outside the dialog's adapter")
    endif()
  endforeach()
endforeach()

if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "Layering broken:\n  ${text}")
endif()
list(LENGTH sources count)
message(STATUS "${count} files keep to their layers")
