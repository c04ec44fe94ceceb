# The window and program tests make their files in one folder of their own.
#   -DSTEP=prepare  before them: the folder, empty
#   -DSTEP=check    after them: the folder is empty again, and the window
#                   tests' program folder holds no scratch file and no tool
#                   put beside the program
# with -DFOLDER=<their folder> -DPROGRAM_DIR=<the window tests' folder>.
if(STEP STREQUAL "prepare")
  file(REMOVE_RECURSE "${FOLDER}")
  file(MAKE_DIRECTORY "${FOLDER}")
  return()
endif()

file(GLOB left LIST_DIRECTORIES true "${FOLDER}/*" "${FOLDER}/.*")
foreach(name device.cfg temp.cfg mkisofs cdrecord record)
  # A link that points nowhere counts too.
  if(EXISTS "${PROGRAM_DIR}/${name}" OR IS_SYMLINK "${PROGRAM_DIR}/${name}")
    list(APPEND left "${PROGRAM_DIR}/${name}")
  endif()
endforeach()
if(left)
  list(JOIN left "\n  " shown)
  message(FATAL_ERROR "The tests left behind:\n  ${shown}")
endif()
