# Copies the freshly made database into the program directory only when none is there yet:
# the file in the program directory is the user's data and is never overwritten.
if(NOT EXISTS "${DESTINATION}")
  file(COPY_FILE "${SOURCE}" "${DESTINATION}")
  message(STATUS "Installed ${DESTINATION}")
endif()
