# Gives every program of the Windows build the UTF-8 manifest, so that its
# command line reaches main() in UTF-8 like every path inside the tool.
# Call it once, after every folder with programs has been added.
function(mw_add_windows_manifest directory)
  get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target ${targets})
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/cmake/windows/utf8.rc)
    endif()
  endforeach()
  get_property(folders DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  foreach(folder ${folders})
    mw_add_windows_manifest(${folder})
  endforeach()
endfunction()
