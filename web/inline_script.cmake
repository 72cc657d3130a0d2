# Writes the page as one file, so that it opens from disk as well as from any
# web server: the page's template with the compiled script in place of its
# marker line.
# Usage: cmake -DTEMPLATE=index.html -DSCRIPT=rivercrossing.js -DOUTPUT=page/index.html -P inline_script.cmake
file(READ "${TEMPLATE}" page)
file(READ "${SCRIPT}" script)
string(TOLOWER "${script}" lower_script)
# Either would end or derail the script element early.
foreach(breaker IN ITEMS "</script" "<!--")
    string(FIND "${lower_script}" "${breaker}" found)
    if(NOT found EQUAL -1)
        message(FATAL_ERROR "${SCRIPT} contains \"${breaker}\" and cannot be put inside the page")
    endif()
endforeach()
string(FIND "${page}" "@RIVERCROSSING_JS@" marker)
if(marker EQUAL -1)
    message(FATAL_ERROR "${TEMPLATE} has no @RIVERCROSSING_JS@ line for the script")
endif()
string(REPLACE "@RIVERCROSSING_JS@" "${script}" page "${page}")
file(WRITE "${OUTPUT}" "${page}")
