# Writes the page IN to OUT with every line "%include FILE" replaced by that
# file of the same folder, so a part the pages share is written once.
#   cmake -DIN=page.scd -DOUT=assembled.scd -P assemble.cmake
get_filename_component(dir "${IN}" DIRECTORY)
file(READ "${IN}" text)
string(REGEX MATCHALL "%include [^\n]+" includes "${text}")
foreach(line ${includes})
  string(REPLACE "%include " "" name "${line}")
  file(READ "${dir}/${name}" part)
  string(REPLACE "${line}\n" "${part}" text "${text}")
endforeach()
file(WRITE "${OUT}" "${text}")
