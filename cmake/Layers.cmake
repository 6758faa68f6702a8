# Walls the compiler holds. Every target is made of whole source folders (or,
# in a folder of several programs, of named files) and declares the project
# targets it depends on. Each target then compiles from a tree of its own
# under <build>/walls/<target>/: per folder it may use (its own and those of
# the targets it depends on, transitively) a real directory holding one
# symbolic link per file of that folder. That tree is the target's only
# project include root, and its own sources are compiled through their links,
# so an include of a folder it may not use is not found, whether written
# "a/b.h", <a/b.h> or "../a/b.h" (GCC and clang resolve "../" from the
# includer's path as given, and the staged directories are real ones).
# __FILE__ and the debug information name the real source files
# (-ffile-prefix-map). The configure fails when a source folder belongs to no
# target, or when the declared dependencies form a cycle.
#
# orvanta_library(<name> FOLDERS <dir>... | FOLDER <dir> SOURCES <file>...
#                 [DEPENDS <orvanta target>...] [PRIVATE_DEPENDS <orvanta target>...]
#                 [LINKS <library>...] [PRIVATE_LINKS <library>...] [RESOURCES <qrc>...])
#   A static library (an interface library when the folders hold headers
#   only). FOLDERS: the .cpp and header files of the folders, not their
#   subfolders (those are other targets); FOLDER and SOURCES: the named files
#   of a folder other targets share. DEPENDS are project targets the library
#   and its users may include; PRIVATE_DEPENDS those only its own files may;
#   LINKS and PRIVATE_LINKS are outside libraries such as Qt.
#
# orvanta_program(<name> FOLDERS <dir>... | FOLDER <dir> SOURCES <file>...
#                 [DEPENDS <orvanta target>...] [LINKS <library>...])
#   An executable, held to the same walls.
#
# A test program (a folder under tests/) also finds tests/<x> as <x>, so
# "support/pty_pair.h" names a file of tests/support/.

set(ORVANTA_WALLS_DIR ${CMAKE_BINARY_DIR}/walls)
set(_ORVANTA_SOURCE_PATTERNS *.cpp *.cc *.cxx *.c *.h *.hh *.hpp *.hxx *.inl *.ipp)

function(_orvanta_declare kind name)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "FOLDER"
    "FOLDERS;SOURCES;DEPENDS;PRIVATE_DEPENDS;LINKS;PRIVATE_LINKS;RESOURCES")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "${name}: unknown arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()
  set(staged ${ORVANTA_WALLS_DIR}/${name})
  set(files)
  if(arg_FOLDERS)
    set(folders ${arg_FOLDERS})
    foreach(folder IN LISTS folders)
      list(TRANSFORM _ORVANTA_SOURCE_PATTERNS PREPEND ${CMAKE_SOURCE_DIR}/${folder}/ OUTPUT_VARIABLE patterns)
      file(GLOB found CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR} ${patterns})
      list(APPEND files ${found})
    endforeach()
    set_property(GLOBAL APPEND PROPERTY ORVANTA_WHOLE_FOLDERS ${folders})
  elseif(arg_FOLDER AND arg_SOURCES)
    set(folders ${arg_FOLDER})
    foreach(file IN LISTS arg_SOURCES)
      list(APPEND files ${arg_FOLDER}/${file})
    endforeach()
    set_property(GLOBAL APPEND PROPERTY ORVANTA_SHARED_FOLDERS ${arg_FOLDER})
    set_property(GLOBAL APPEND PROPERTY ORVANTA_CLAIMED_FILES ${files})
  else()
    message(FATAL_ERROR "${name}: give FOLDERS, or FOLDER and SOURCES")
  endif()
  list(TRANSFORM files PREPEND ${staged}/ OUTPUT_VARIABLE sources)
  set(compiled ${sources})
  list(FILTER compiled INCLUDE REGEX "\\.(cpp|cc|cxx|c)$")

  if(kind STREQUAL "program")
    add_executable(${name} ${sources} ${arg_RESOURCES})
    set(scope PRIVATE)
  elseif(compiled)
    add_library(${name} STATIC ${sources} ${arg_RESOURCES})
    set(scope PUBLIC)
  else()
    add_library(${name} INTERFACE)
    set(scope INTERFACE)
  endif()
  target_link_libraries(${name} ${scope} ${arg_DEPENDS} ${arg_LINKS})
  if(compiled)
    target_link_libraries(${name} PRIVATE ${arg_PRIVATE_DEPENDS} ${arg_PRIVATE_LINKS})
    target_include_directories(${name} PRIVATE ${staged})
    if(folders MATCHES "(^|;)tests/")
      target_include_directories(${name} PRIVATE ${staged}/tests)
    endif()
    target_compile_options(${name} PRIVATE -ffile-prefix-map=${staged}/=${CMAKE_SOURCE_DIR}/)
  endif()
  set_property(GLOBAL APPEND PROPERTY ORVANTA_TARGETS ${name})
  set_property(GLOBAL PROPERTY ORVANTA_FOLDERS_${name} ${folders})
  set_property(GLOBAL PROPERTY ORVANTA_DEPENDS_${name} ${arg_DEPENDS})
  set_property(GLOBAL PROPERTY ORVANTA_PRIVATE_DEPENDS_${name} ${arg_PRIVATE_DEPENDS})
endfunction()

function(orvanta_library name)
  _orvanta_declare(library ${name} ${ARGN})
endfunction()

function(orvanta_program name)
  _orvanta_declare(program ${name} ${ARGN})
endfunction()

# Fails on a dependency that is no declared target or that leads back to a
# target on the current path.
function(_orvanta_check_cycles target path)
  get_property(done GLOBAL PROPERTY ORVANTA_ACYCLIC)
  if(target IN_LIST done)
    return()
  endif()
  list(APPEND path ${target})
  get_property(public GLOBAL PROPERTY ORVANTA_DEPENDS_${target})
  get_property(private GLOBAL PROPERTY ORVANTA_PRIVATE_DEPENDS_${target})
  get_property(targets GLOBAL PROPERTY ORVANTA_TARGETS)
  foreach(dependency IN LISTS public private)
    if(NOT dependency IN_LIST targets)
      message(FATAL_ERROR "${target} depends on ${dependency}, which no orvanta_library declares")
    endif()
    if(dependency IN_LIST path)
      list(APPEND path ${dependency})
      list(JOIN path " -> " shown)
      message(FATAL_ERROR "The declared dependencies form a cycle: ${shown}")
    endif()
    _orvanta_check_cycles(${dependency} "${path}")
  endforeach()
  set_property(GLOBAL APPEND PROPERTY ORVANTA_ACYCLIC ${target})
endfunction()

# The folders a target's own files may include.
function(_orvanta_allowed_folders target out)
  get_property(own GLOBAL PROPERTY ORVANTA_FOLDERS_${target})
  get_property(private GLOBAL PROPERTY ORVANTA_PRIVATE_DEPENDS_${target})
  get_property(queue GLOBAL PROPERTY ORVANTA_DEPENDS_${target})
  list(APPEND queue ${private})
  set(folders ${own})
  set(seen)
  while(queue)
    list(POP_FRONT queue current)
    if(current IN_LIST seen)
      continue()
    endif()
    list(APPEND seen ${current})
    get_property(theirs GLOBAL PROPERTY ORVANTA_FOLDERS_${current})
    get_property(below GLOBAL PROPERTY ORVANTA_DEPENDS_${current})
    list(APPEND folders ${theirs})
    list(APPEND queue ${below})
  endwhile()
  list(REMOVE_DUPLICATES folders)
  set(${out} ${folders} PARENT_SCOPE)
endfunction()

# The source directories whose CMakeLists.txt this configure reads.
function(_orvanta_built_directories directory out)
  set(all ${directory})
  get_property(below DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  foreach(subdirectory IN LISTS below)
    _orvanta_built_directories(${subdirectory} found)
    list(APPEND all ${found})
  endforeach()
  set(${out} ${all} PARENT_SCOPE)
endfunction()

# The directory of the CMakeLists.txt nearest above a source folder.
function(_orvanta_nearest_list_file folder out)
  set(path ${CMAKE_SOURCE_DIR}/${folder})
  while(NOT EXISTS ${path}/CMakeLists.txt)
    get_filename_component(path ${path} DIRECTORY)
  endwhile()
  set(${out} ${path} PARENT_SCOPE)
endfunction()

# Every folder holding source files belongs to a target: a whole folder to
# exactly one, and each file of a shared folder to some program or library.
function(_orvanta_check_folders)
  get_property(whole GLOBAL PROPERTY ORVANTA_WHOLE_FOLDERS)
  get_property(shared GLOBAL PROPERTY ORVANTA_SHARED_FOLDERS)
  get_property(claimed GLOBAL PROPERTY ORVANTA_CLAIMED_FILES)
  set(seen)
  foreach(folder IN LISTS whole)
    if(folder IN_LIST seen OR folder IN_LIST shared)
      message(FATAL_ERROR "${folder}/ is declared by more than one target")
    endif()
    list(APPEND seen ${folder})
  endforeach()
  file(GLOB tops RELATIVE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/*)
  list(FILTER tops EXCLUDE REGEX "^(\\.|build$)")
  list(TRANSFORM _ORVANTA_SOURCE_PATTERNS PREPEND ${CMAKE_SOURCE_DIR}/ OUTPUT_VARIABLE at_root)
  file(GLOB all CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR} ${at_root})
  foreach(top IN LISTS tops)
    if(IS_DIRECTORY ${CMAKE_SOURCE_DIR}/${top})
      list(TRANSFORM _ORVANTA_SOURCE_PATTERNS PREPEND ${CMAKE_SOURCE_DIR}/${top}/ OUTPUT_VARIABLE patterns)
      file(GLOB_RECURSE found CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR} ${patterns})
      list(APPEND all ${found})
    endif()
  endforeach()
  _orvanta_built_directories(${CMAKE_SOURCE_DIR} built)
  foreach(file IN LISTS all)
    get_filename_component(folder ${file} DIRECTORY)
    _orvanta_nearest_list_file(${folder} home)
    if(NOT home IN_LIST built)
      continue()  # a folder of a part this build leaves out (tests, benchmarks)
    endif()
    if(folder IN_LIST whole)
      continue()
    elseif(folder IN_LIST shared)
      if(NOT file IN_LIST claimed AND file MATCHES "\\.(cpp|cc|cxx|c)$")
        message(FATAL_ERROR "${file} is built by no target (orvanta_program or orvanta_library SOURCES)")
      endif()
    else()
      if(folder STREQUAL "")
        set(folder ".")
      endif()
      message(FATAL_ERROR "${folder}/ (${file}) belongs to no target: declare it with orvanta_library "
        "or orvanta_program, with the targets it depends on")
    endif()
  endforeach()
endfunction()

# Builds <build>/walls/<target>/ for a target: rebuilt only when the list of
# links it should hold changes.
function(_orvanta_stage target)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    return()  # nothing of its own to compile
  endif()
  _orvanta_allowed_folders(${target} folders)
  set(links)
  foreach(folder IN LISTS folders)
    file(GLOB found LIST_DIRECTORIES false RELATIVE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/${folder}/*)
    list(APPEND links ${found})
  endforeach()
  set(staged ${ORVANTA_WALLS_DIR}/${target})
  set(record ${ORVANTA_WALLS_DIR}/${target}.links)
  if(EXISTS ${record} AND IS_DIRECTORY ${staged})
    file(READ ${record} previous)
    if(previous STREQUAL "${folders}|${links}")
      return()
    endif()
  endif()
  file(REMOVE_RECURSE ${staged})
  foreach(folder IN LISTS folders)
    file(MAKE_DIRECTORY ${staged}/${folder})
  endforeach()
  foreach(link IN LISTS links)
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${link} ${staged}/${link} SYMBOLIC)
  endforeach()
  file(WRITE ${record} "${folders}|${links}")
endfunction()

function(_orvanta_build_walls)
  get_property(targets GLOBAL PROPERTY ORVANTA_TARGETS)
  foreach(target IN LISTS targets)
    _orvanta_check_cycles(${target} "")
  endforeach()
  # The fuzz build declares the pure logic only.
  if(NOT ORVANTA_FUZZ)
    _orvanta_check_folders()
  endif()
  foreach(target IN LISTS targets)
    _orvanta_stage(${target})
  endforeach()
endfunction()

# Once every directory has declared its targets.
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _orvanta_build_walls)
