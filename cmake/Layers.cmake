# Every source folder belongs to exactly one target, and a target's files may
# include only its own folders and the folders of the targets it depends on.
# The functions below make the targets from whole folders and keep the
# folder -> allowed folders rules, which the IncludeDirections test checks
# against every quoted #include (cmake/CheckIncludes.cmake).

# orvanta_library(<name> FOLDERS <dir>... [DEPENDS <orvanta target>...]
#                 [LINKS <other library>...] [PRIVATE_LINKS <library>...]
#                 [RESOURCES <qrc>...])
# A static library of the .cpp and .h files of the folders (not their
# subfolders), or an interface library when they hold headers only. DEPENDS are
# project layers (they decide what the folders may include); LINKS are outside
# libraries such as Qt.
function(orvanta_library name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "FOLDERS;DEPENDS;LINKS;PRIVATE_LINKS;RESOURCES")
  set(files)
  foreach(folder IN LISTS arg_FOLDERS)
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp ${CMAKE_SOURCE_DIR}/${folder}/*.h)
    list(APPEND files ${found})
  endforeach()
  set(sources ${files})
  list(FILTER sources INCLUDE REGEX "\\.cpp$")
  if(sources)
    set(scope PUBLIC)
    add_library(${name} STATIC ${files} ${arg_RESOURCES})
    target_link_libraries(${name} PRIVATE ${arg_PRIVATE_LINKS})
  else()
    set(scope INTERFACE)
    add_library(${name} INTERFACE)
  endif()
  target_include_directories(${name} ${scope} ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} ${scope} ${arg_DEPENDS} ${arg_LINKS})
  set_property(GLOBAL APPEND PROPERTY ORVANTA_LAYERS ${name})
  set_property(GLOBAL PROPERTY ORVANTA_FOLDERS_${name} ${arg_FOLDERS})
  set_property(GLOBAL PROPERTY ORVANTA_DEPENDS_${name} ${arg_DEPENDS})
endfunction()

# orvanta_folder_uses(<dir> <orvanta target>...): a folder of programs (tools,
# benchmarks, fuzz targets) may include what these layers may include.
function(orvanta_folder_uses folder)
  set_property(GLOBAL APPEND PROPERTY ORVANTA_PROGRAM_FOLDERS ${folder})
  set_property(GLOBAL APPEND PROPERTY ORVANTA_USES_${folder} ${ARGN})
endfunction()

# The folders a layer may include: its own and those of every layer below it.
function(_orvanta_reachable_folders target out)
  set(seen)
  set(queue ${target})
  set(folders)
  while(queue)
    list(POP_FRONT queue current)
    if(current IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${current})
    get_property(own GLOBAL PROPERTY ORVANTA_FOLDERS_${current})
    get_property(below GLOBAL PROPERTY ORVANTA_DEPENDS_${current})
    list(APPEND folders ${own})
    list(APPEND queue ${below})
  endwhile()
  list(REMOVE_DUPLICATES folders)
  set(${out} ${folders} PARENT_SCOPE)
endfunction()

# Writes the rules for cmake/CheckIncludes.cmake: one line per folder.
function(orvanta_write_include_rules file)
  set(text "")
  get_property(layers GLOBAL PROPERTY ORVANTA_LAYERS)
  foreach(layer IN LISTS layers)
    _orvanta_reachable_folders(${layer} allowed)
    get_property(own GLOBAL PROPERTY ORVANTA_FOLDERS_${layer})
    foreach(folder IN LISTS own)
      list(JOIN allowed "," joined)
      string(APPEND text "${folder}|${layer}|${joined}\n")
    endforeach()
  endforeach()
  get_property(programs GLOBAL PROPERTY ORVANTA_PROGRAM_FOLDERS)
  list(REMOVE_DUPLICATES programs)
  foreach(folder IN LISTS programs)
    get_property(uses GLOBAL PROPERTY ORVANTA_USES_${folder})
    set(allowed ${folder})
    foreach(layer IN LISTS uses)
      _orvanta_reachable_folders(${layer} reachable)
      list(APPEND allowed ${reachable})
    endforeach()
    list(REMOVE_DUPLICATES allowed)
    list(JOIN allowed "," joined)
    string(APPEND text "${folder}|programs|${joined}\n")
  endforeach()
  file(WRITE ${file} "${text}")
endfunction()
