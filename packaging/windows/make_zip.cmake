# Makes the release zip: cmake -DSTRIP= -DTIME= -DREADME= -DSTAGE= -DZIP=
# -DPROGRAMS=a.exe;b.exe -P make_zip.cmake. The read-me gets a byte-order
# mark and CRLF line ends, so that Notepad on any Windows shows it as UTF-8.
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
# strip stamps the programs' headers with this time; string(TIMESTAMP) reads it too.
set(ENV{SOURCE_DATE_EPOCH} ${TIME})
string(TIMESTAMP date "%Y-%m-%d %H:%M:%S UTC" UTC)
# Zip times are local; UTC keeps them the same wherever the zip is made.
set(ENV{TZ} UTC)
set(names)
foreach(program ${PROGRAMS})
  get_filename_component(name ${program} NAME)
  execute_process(COMMAND ${STRIP} -o ${STAGE}/${name} ${program} COMMAND_ERROR_IS_FATAL ANY)
  list(APPEND names ${name})
endforeach()
file(READ ${README} text)
string(REPLACE "\n" "\r\n" text "${text}")
string(ASCII 239 187 191 bom)
file(WRITE ${STAGE}/README.txt "${bom}${text}")
list(APPEND names README.txt)
# A zip that cannot be finished leaves none behind.
file(REMOVE ${ZIP} ${ZIP}.part)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP}.part --format=zip "--mtime=${date}" ${names}
                WORKING_DIRECTORY ${STAGE} COMMAND_ERROR_IS_FATAL ANY)
file(RENAME ${ZIP}.part ${ZIP})
