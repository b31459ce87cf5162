# SPDX-License-Identifier: GPL-3.0-or-later
# Every object of a layer linked in whole, against only what the layer says
# it links: a call from a lower layer into a higher one is then a link error
# in the normal build, even where no program happens to pull that object in.
function(quillon_layer_link_check layer)
  set(main ${PROJECT_BINARY_DIR}/layer_link_check.cpp)
  if(NOT EXISTS ${main})
    file(WRITE ${main} "int main() { return 0; }\n")
  endif()
  add_executable(layer_link_${layer} ${main})
  get_target_property(below quillon_${layer} INTERFACE_LINK_LIBRARIES)
  if(NOT below)
    set(below "")
  endif()
  target_link_libraries(layer_link_${layer} PRIVATE
    "$<LINK_LIBRARY:WHOLE_ARCHIVE,quillon_${layer}>" ${below})
endfunction()
