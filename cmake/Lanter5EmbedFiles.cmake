# cmake -DOUTPUT=FILE.cpp -DFILES=NAME=PATH|NAME=PATH... -P Lanter5EmbedFiles.cmake
#
# Writes the table of files a Linux plug-in carries inside itself (its images), which the
# toolkit's `findEmbeddedResource` looks through by name. The pairs are parted by | rather
# than CMake's ; so that the list passes a shell whole.
string(REPLACE "|" ";" FILES "${FILES}")
set(content "// Made by the build from the plug-in's files.\n#include \"EmbeddedResources.h\"\n\n")
set(entries "")
set(number 0)
foreach(pair IN LISTS FILES)
  string(FIND "${pair}" "=" split)
  string(SUBSTRING "${pair}" 0 ${split} name)
  math(EXPR start "${split} + 1")
  string(SUBSTRING "${pair}" ${start} -1 path)
  file(READ "${path}" hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND content "static const unsigned char file${number}[] = {${bytes}};\n")
  string(APPEND entries "    {\"${name}\", file${number}, ${size}},\n")
  math(EXPR number "${number} + 1")
endforeach()
string(APPEND content "\nextern \"C\" const EmbeddedResource lanter5EmbeddedResources[] = {\n${entries}"
  "    {nullptr, nullptr, 0},\n};\n")
file(WRITE "${OUTPUT}" "${content}")
