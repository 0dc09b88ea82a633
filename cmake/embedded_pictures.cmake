# embedded_pictures.cmake - the committed pictures built into the programs
# (floorPictureBytes, facePictureBytes) as vimbrel_embedded_pictures, so
# that they run from anywhere. The glob re-runs the configuration when a
# picture is added.
file(GLOB VIMBREL_EMBEDDED_PICTURES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/core/pictures/*.bmp)
set(VIMBREL_EMBEDDED_PICTURES_SOURCE ${CMAKE_BINARY_DIR}/generated/committed_pictures.cpp)
add_custom_command(OUTPUT ${VIMBREL_EMBEDDED_PICTURES_SOURCE}
  COMMAND ${CMAKE_COMMAND} -DOUT=${VIMBREL_EMBEDDED_PICTURES_SOURCE} -DSYMBOLS=floorPicture|facePicture
          -DFILES=${CMAKE_SOURCE_DIR}/src/core/pictures/floor.bmp|${CMAKE_SOURCE_DIR}/src/core/pictures/face.bmp
          -P ${CMAKE_SOURCE_DIR}/cmake/embed_bytes.cmake
  DEPENDS ${CMAKE_SOURCE_DIR}/cmake/embed_bytes.cmake ${VIMBREL_EMBEDDED_PICTURES}
  VERBATIM)
add_library(vimbrel_embedded_pictures STATIC ${VIMBREL_EMBEDDED_PICTURES_SOURCE})
