# Writes a module definition file (DEF) listing every function that the import library LIB takes
# from DLL, for dlltool to make another import library of it (a delay-loading one).
#   cmake -DNM=nm -DLIB=libx.a -DDLL=x.dll -DDEF=out.def -P import-def.cmake
execute_process(COMMAND ${NM} -g --defined-only ${LIB} OUTPUT_VARIABLE symbols
                COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "[^\n]* I __imp_[^\n]*" imports "${symbols}")
set(def "LIBRARY ${DLL}\nEXPORTS\n")
foreach(line IN LISTS imports)
  string(REGEX REPLACE ".* I __imp_" "" name "${line}")
  string(APPEND def "${name}\n")
endforeach()
file(WRITE ${DEF} "${def}")
