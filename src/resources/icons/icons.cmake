# Makes the program's .ico files from their drawings. Every <name>-<size>.xpm of this folder is
# one image of <name>.ico, 16 colours with a transparent background: ImageMagick's convert writes
# each drawing as an indexed PNG, icoutils' icotool packs the images, largest first, at 4 bits a
# pixel. Both give the same bytes for the same drawings, so the .ico files kept beside the
# drawings (the build takes them where the tools are missing) can be checked against them.
#
#   cmake -DCONVERT=<convert> -DICOTOOL=<icotool> -DOUTPUT_DIR=<folder> [-DDRAWINGS=<a.xpm,b.xpm>]
#         [-DCHECK=ON] -P icons.cmake
#
# writes <name>.ico into OUTPUT_DIR from the drawings named (else from every drawing here); with
# CHECK, then fails unless the .ico files of this folder are those, byte for byte, and there are
# no others.

cmake_minimum_required(VERSION 3.20)

foreach(variable CONVERT ICOTOOL OUTPUT_DIR)
  if(NOT ${variable})
    message(FATAL_ERROR "icons.cmake needs -D${variable}=...")
  endif()
endforeach()

set(drawings_dir ${CMAKE_CURRENT_LIST_DIR})
set(work_dir ${OUTPUT_DIR}/images)
file(MAKE_DIRECTORY ${OUTPUT_DIR} ${work_dir})

# The drawings, by icon name: sizes largest first.
if(DEFINED DRAWINGS)
  string(REPLACE "," ";" drawings "${DRAWINGS}")
else()
  file(GLOB drawings RELATIVE ${drawings_dir} ${drawings_dir}/*.xpm)
endif()
set(names)
foreach(drawing IN LISTS drawings)
  if(NOT drawing MATCHES "^([a-z0-9_]+)-([0-9]+)\\.xpm$")
    message(FATAL_ERROR "${drawing}: a drawing is named <icon>-<size>.xpm")
  endif()
  list(APPEND names ${CMAKE_MATCH_1})
  list(APPEND sizes_${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
endforeach()
list(REMOVE_DUPLICATES names)
if(NOT names)
  message(FATAL_ERROR "no drawings (*.xpm) in ${drawings_dir}")
endif()

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    string(REPLACE ";" " " command "${ARGN}")
    message(FATAL_ERROR "${command} failed (${result}):\n${output}")
  endif()
endfunction()

foreach(name IN LISTS names)
  list(SORT sizes_${name} COMPARE NATURAL ORDER DESCENDING)
  set(images)
  foreach(size IN LISTS sizes_${name})
    set(drawing ${drawings_dir}/${name}-${size}.xpm)
    set(image ${work_dir}/${name}-${size}.png)
    # No dates or other text in the PNG: only the pixels and their palette.
    run(${CONVERT} ${drawing} -strip PNG8:${image})
    execute_process(COMMAND ${CONVERT} ${image} -format "%w %h" info:
                    OUTPUT_VARIABLE measured RESULT_VARIABLE result)
    if(NOT result EQUAL 0 OR NOT measured STREQUAL "${size} ${size}")
      message(FATAL_ERROR "${name}-${size}.xpm is ${measured} pixels, not ${size} by ${size}")
    endif()
    list(APPEND images ${image})
  endforeach()
  run(${ICOTOOL} --create --bit-depth=4 --output=${OUTPUT_DIR}/${name}.ico ${images})
endforeach()

if(CHECK)
  set(problems)
  foreach(name IN LISTS names)
    file(SHA256 ${OUTPUT_DIR}/${name}.ico made)
    set(kept "")
    if(EXISTS ${drawings_dir}/${name}.ico)
      file(SHA256 ${drawings_dir}/${name}.ico kept)
    endif()
    if(NOT made STREQUAL kept)
      list(APPEND problems "${name}.ico is not made from the drawings as they are now: copy "
                           "${OUTPUT_DIR}/${name}.ico over it.\n")
    endif()
  endforeach()
  file(GLOB kept_icons RELATIVE ${drawings_dir} ${drawings_dir}/*.ico)
  foreach(icon IN LISTS kept_icons)
    string(REGEX REPLACE "\\.ico$" "" name ${icon})
    if(NOT name IN_LIST names)
      list(APPEND problems "${icon} has no drawings (${name}-<size>.xpm): remove it.\n")
    endif()
  endforeach()
  if(problems)
    string(JOIN "" problems ${problems})
    message(FATAL_ERROR "In ${drawings_dir}:\n${problems}")
  endif()
  list(JOIN names ", " name_list)
  message(STATUS "The kept icons (${name_list}) are made from their drawings as they are now.")
endif()
