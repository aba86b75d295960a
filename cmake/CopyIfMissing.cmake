# Copies the first-start record files into the game's folder, never over records a player already has.
# Usage: cmake -DSRC=dir -DDST=dir -P CopyIfMissing.cmake
file(GLOB files "${SRC}/*")
file(MAKE_DIRECTORY "${DST}")
foreach(f ${files})
  get_filename_component(name "${f}" NAME)
  if(NOT EXISTS "${DST}/${name}")
    file(COPY "${f}" DESTINATION "${DST}")
  endif()
endforeach()
