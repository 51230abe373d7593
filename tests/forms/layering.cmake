# The core's includes run one way: forms -> gpo -> engine -> custom -> settings -> platform (a
# folder may include itself and any folder below it, never one above it or ui/, app/, tests/), and
# no core file includes a Qt header or a Windows header outside platform/*_win.cpp and
# gpo/*_win.cpp (the local Group Policy's own Windows calls). A platform/*_win.h header
# may hold Windows types for those files, and only they may include it.
#   cmake -DROOT=<source tree> -P layering.cmake     checks the tree
#   cmake -DSELFTEST=<scratch dir> -P layering.cmake  checks that a tree of known faults is caught
cmake_minimum_required(VERSION 3.25)

set(layers platform settings custom engine gpo forms)
set(windows_headers windows.h winreg.h winuser.h winbase.h shellapi.h shlobj.h shlwapi.h
                    commctrl.h objbase.h wincrypt.h)

# Sets out_var to the list of "file: include" faults under root; fails when a layer has no files,
# so that a wrong root cannot pass.
function(find_faults root out_var)
  set(faults)
  set(allowed)
  foreach(layer IN LISTS layers)
    list(PREPEND allowed ${layer})  # a layer may include itself and every layer listed before it
    file(GLOB_RECURSE files ${root}/${layer}/*.h ${root}/${layer}/*.hpp ${root}/${layer}/*.cpp)
    if(NOT files)
      message(FATAL_ERROR "no sources under ${root}/${layer}")
    endif()
    foreach(file IN LISTS files)
      file(RELATIVE_PATH shown ${root} ${file})
      file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include")
      foreach(line IN LISTS includes)
        string(STRIP "${line}" line)
        set(windows_only OFF)
        if(shown MATCHES "^(platform|gpo)/[^/]*_win\\.(cpp|h)$")
          set(windows_only ON)
        endif()
        if(line MATCHES "include[ \t]*\"([A-Za-z0-9_]+)/" AND NOT CMAKE_MATCH_1 IN_LIST allowed)
          list(APPEND faults "${shown}: ${line}")
        elseif(line MATCHES "include[ \t]*\"platform/[^\"/]*_win\\.h\"" AND NOT windows_only)
          list(APPEND faults "${shown}: ${line} (Windows)")
        elseif(line MATCHES "include[ \t]*[<\"]Q[A-Za-z]*[>/]")
          list(APPEND faults "${shown}: ${line} (Qt)")
        else()
          string(TOLOWER "${line}" lower)
          if(lower MATCHES "include[ \t]*[<\"]([a-z0-9_]+\\.h)[>\"]"
             AND CMAKE_MATCH_1 IN_LIST windows_headers
             AND NOT windows_only)
            list(APPEND faults "${shown}: ${line} (Windows)")
          endif()
        endif()
      endforeach()
    endforeach()
  endforeach()
  set(${out_var} "${faults}" PARENT_SCOPE)
endfunction()

if(DEFINED SELFTEST)
  set(tree ${SELFTEST})
  file(REMOVE_RECURSE ${tree})
  file(WRITE ${tree}/platform/files.h "#include \"settings/record.h\"\n")
  file(WRITE ${tree}/platform/paths_win.cpp "#include <windows.h>\n#include \"platform/paths.h\"\n")
  file(WRITE ${tree}/platform/paths_win.h "#include <Windows.h>\n")
  file(WRITE ${tree}/platform/paths.h "#include <windows.h>\n")
  file(WRITE ${tree}/settings/record.h "#include \"platform/paths_win.h\"\n")
  file(WRITE ${tree}/settings/vorn.cpp "#include \"platform/files.h\"\n#include <QString>\n")
  file(WRITE ${tree}/custom/store.cpp "#  include \"settings/vorn.h\"\n#include <shlobj.h>\n")
  file(WRITE ${tree}/engine/apply.cpp "#include \"custom/store.h\"\n#include \"forms/main.h\"\n")
  file(WRITE ${tree}/gpo/export.cpp "#include \"engine/apply.h\"\n#include \"forms/gpo.h\"\n")
  file(WRITE ${tree}/gpo/localpolicy_win.cpp "#include <windows.h>\n")
  file(WRITE ${tree}/forms/main.cpp
       "#include \"engine/apply.h\"\n#include \"ui/main.h\"\n#include <QtCore/QObject>\n#include <vector>\n")
  find_faults(${tree} faults)
  set(expected
      "custom/store.cpp: #include <shlobj.h> (Windows)"
      "engine/apply.cpp: #include \"forms/main.h\""
      "forms/main.cpp: #include \"ui/main.h\""
      "forms/main.cpp: #include <QtCore/QObject> (Qt)"
      "gpo/export.cpp: #include \"forms/gpo.h\""
      "platform/files.h: #include \"settings/record.h\""
      "platform/paths.h: #include <windows.h> (Windows)"
      "settings/record.h: #include \"platform/paths_win.h\" (Windows)"
      "settings/vorn.cpp: #include <QString> (Qt)")
  list(SORT faults)
  if(NOT faults STREQUAL expected)
    string(REPLACE ";" "\n  " got "${faults}")
    message(FATAL_ERROR "the check found:\n  ${got}\nnot the nine faults planted")
  endif()
  return()
endif()

if(NOT DEFINED ROOT)
  message(FATAL_ERROR "give -DROOT=<source tree> or -DSELFTEST=<scratch dir>")
endif()
find_faults(${ROOT} faults)
if(faults)
  string(REPLACE ";" "\n  " shown "${faults}")
  message(FATAL_ERROR "includes against the layering:\n  ${shown}")
endif()
