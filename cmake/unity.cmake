# Unity builds: a target's sources compiled a batch at a time as one unit, so
# that the headers they share are read once per batch.  Each batch file names
# its sources by their path from the source root (found through -iquote), so
# that the batch files are the same in every clone and a second clone's
# compiler cache finds them; CMake's own batches name them by absolute path.
# A source marked SKIP_UNITY_BUILD_INCLUSION, and one generated in the build
# folder, is compiled alone.
#   kalpo_unity(target batch_size)     after the target has all its sources
#   kalpo_unity_batches(target count)  the same, in count batches of even size
function(kalpo_unity target batch_size)
  _kalpo_unity_sources(${target} batched)
  get_target_property(binary_dir ${target} BINARY_DIR)
  set(batch "")
  set(index 0)
  set(count 0)
  foreach(relative IN LISTS batched)
    string(APPEND batch "#include \"${relative}\"\n")
    math(EXPR count "${count} + 1")
    if(count EQUAL batch_size)
      _kalpo_unity_batch(${target} ${binary_dir} ${index} "${batch}")
      math(EXPR index "${index} + 1")
      set(batch "")
      set(count 0)
    endif()
  endforeach()
  if(count GREATER 0)
    _kalpo_unity_batch(${target} ${binary_dir} ${index} "${batch}")
  endif()
  target_compile_options(${target} PRIVATE "-iquote${CMAKE_SOURCE_DIR}")
endfunction()

function(kalpo_unity_batches target batches)
  _kalpo_unity_sources(${target} batched)
  list(LENGTH batched sources)
  math(EXPR size "(${sources} + ${batches} - 1) / ${batches}")
  if(size LESS 1)
    set(size 1)
  endif()
  kalpo_unity(${target} ${size})
endfunction()

# The target's sources that go into batches, by their path from the source
# root, in the target's order; each is marked as no longer compiled alone.
function(_kalpo_unity_sources target out)
  get_target_property(sources ${target} SOURCES)
  get_target_property(target_dir ${target} SOURCE_DIR)
  set(batched "")
  foreach(source IN LISTS sources)
    cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${target_dir} OUTPUT_VARIABLE path)
    get_source_file_property(alone ${source} TARGET_DIRECTORY ${target} SKIP_UNITY_BUILD_INCLUSION)
    cmake_path(IS_PREFIX CMAKE_SOURCE_DIR ${path} NORMALIZE in_sources)
    cmake_path(IS_PREFIX CMAKE_BINARY_DIR ${path} NORMALIZE generated)
    if(NOT path MATCHES "\\.cpp$" OR alone OR NOT in_sources OR generated)
      continue()
    endif()
    file(RELATIVE_PATH relative ${CMAKE_SOURCE_DIR} ${path})
    list(APPEND batched ${relative})
    set_source_files_properties(${source} TARGET_DIRECTORY ${target} PROPERTIES HEADER_FILE_ONLY ON)
  endforeach()
  set(${out} ${batched} PARENT_SCOPE)
endfunction()

function(_kalpo_unity_batch target binary_dir index contents)
  set(file ${binary_dir}/${target}_unity/batch_${index}.cpp)
  # Written only when it changes, so that a new configuration rebuilds nothing.
  file(CONFIGURE OUTPUT ${file} CONTENT "// A batch of ${target}'s sources, compiled as one unit.\n${contents}" @ONLY)
  target_sources(${target} PRIVATE ${file})
endfunction()
