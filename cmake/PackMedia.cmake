# Packs every generated picture and sound into the game's archive.
# Usage: cmake -DPACKER=kpqpack -DMEDIA=dir -DOUT=Graphic.kpq -P PackMedia.cmake
file(GLOB_RECURSE files "${MEDIA}/Graphic/*" "${MEDIA}/Chars/*")
list(SORT files)
execute_process(COMMAND "${PACKER}" "${OUT}.part" ${files} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "packing the media failed")
endif()
file(RENAME "${OUT}.part" "${OUT}")
