# The help page goes beside the program, where the help button looks for it.
configure_file(${PROJECT_SOURCE_DIR}/help/help.htm ${TESSMAR_BIN_DIR}/help.htm COPYONLY)
