# The project's targets as data for scripts/check-includes.py: which source
# files each target compiles and which targets it links, so that the check
# derives the allowed includes from the build itself.

# A JSON array of the strings in the list `items`, in `out`.
function(_rp_json_string_array out items)
  set(quoted "")
  foreach(item IN LISTS items)
    string(REPLACE "\\" "\\\\" item "${item}")
    string(REPLACE "\"" "\\\"" item "${item}")
    list(APPEND quoted "\"${item}\"")
  endforeach()
  list(JOIN quoted ", " joined)
  set(${out} "[${joined}]" PARENT_SCOPE)
endfunction()

# Appends one target's entry to the global list the map is written from.
function(_rp_record_target name type sources links)
  _rp_json_string_array(source_array "${sources}")
  _rp_json_string_array(link_array "${links}")
  set_property(GLOBAL APPEND PROPERTY RP_TARGET_MAP_ENTRIES
    "\"${name}\": {\"type\": \"${type}\", \"sources\": ${source_array}, \"links\": ${link_array}}")
endfunction()

# rp_note_unbuilt_target(NAME SOURCES DEPS)
# Records a target this configuration leaves out (a fuzzer without
# RP_BUILD_FUZZERS), so its sources are still checked against what it links.
function(rp_note_unbuilt_target name sources deps)
  set(absolute_sources "")
  foreach(source IN LISTS sources)
    cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
    list(APPEND absolute_sources ${source})
  endforeach()
  _rp_record_target(${name} UNBUILT "${absolute_sources}" "${deps}")
endfunction()

# rp_write_target_map(FILE)
# Writes a JSON object with an entry per target of the project:
#   "name": {"type": ..., "sources": [absolute paths], "links": [linked names]}
# The linked names are the target's own link list and its interface link list,
# generator expressions left as written. Call it at the end of the top
# CMakeLists.txt, once every folder has added its targets.
function(rp_write_target_map file)
  set(directories ${PROJECT_SOURCE_DIR})
  while(directories)
    list(POP_FRONT directories directory)
    get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
    list(APPEND directories ${subdirectories})
    get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
      get_target_property(type ${target} TYPE)
      if(type STREQUAL "UTILITY")
        continue()
      endif()
      get_target_property(source_dir ${target} SOURCE_DIR)
      get_target_property(sources ${target} SOURCES)
      set(absolute_sources "")
      foreach(source IN LISTS sources)
        if(source AND NOT source MATCHES "^\\$<")
          cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${source_dir})
          list(APPEND absolute_sources ${source})
        endif()
      endforeach()
      set(links "")
      foreach(property IN ITEMS LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
        get_target_property(linked ${target} ${property})
        if(linked)
          list(APPEND links ${linked})
        endif()
      endforeach()
      list(REMOVE_DUPLICATES links)
      _rp_record_target(${target} ${type} "${absolute_sources}" "${links}")
    endforeach()
  endwhile()
  get_property(entries GLOBAL PROPERTY RP_TARGET_MAP_ENTRIES)
  list(JOIN entries ",\n  " body)
  file(WRITE ${file} "{\n  ${body}\n}\n")
endfunction()
