# cmake -DSTAGE=<dir> -DFILES=<a|b|c> -DREADME=<README.txt> -DMANUAL=<dir> [-DLICENSE=<file>] [-DSTRIP=<strip>]
#       -P stage.cmake
#   The release files in one folder: the three deliverables without their debug
#   information, the users' README as a Windows text file, the manual's pages and
#   pictures in "manual", and the licence when there is one.
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
string(REPLACE "|" ";" FILES "${FILES}")
foreach(f ${FILES})
  get_filename_component(name ${f} NAME)
  if(STRIP)
    execute_process(COMMAND ${STRIP} --strip-debug -o ${STAGE}/${name} ${f} COMMAND_ERROR_IS_FATAL ANY)
  else()
    file(COPY ${f} DESTINATION ${STAGE})
  endif()
endforeach()
# Notepad of older Windows shows a file with bare line feeds as one line.
function(write_windows_text from to)
  file(READ ${from} text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${to} "${text}")
endfunction()
write_windows_text(${README} ${STAGE}/README.txt)
file(GLOB manual ${MANUAL}/*.html ${MANUAL}/*.css ${MANUAL}/*.png)
file(COPY ${manual} DESTINATION ${STAGE}/manual)
if(LICENSE)
  write_windows_text(${LICENSE} ${STAGE}/LICENSE.txt)
endif()
