# Writes the Debian copyright file from the project's REUSE file, with a
# stand-alone licence paragraph for every licence it names.
#   cmake -DSOURCE=<source tree> -DOUTPUT=<file> -P copyright.cmake
file(READ ${SOURCE}/.reuse/dep5 dep5)
string(REGEX MATCHALL "License: [^\n]+" used "${dep5}")
list(REMOVE_DUPLICATES used)

set(text "${dep5}")
foreach(line IN LISTS used)
    string(REPLACE "License: " "" licence "${line}")
    string(APPEND text "\nLicense: ${licence}\n")
    if(licence STREQUAL "GPL-3.0-or-later")
        string(APPEND text
            " This program is free software: you can redistribute it and/or modify\n"
            " it under the terms of the GNU General Public License as published by\n"
            " the Free Software Foundation, either version 3 of the License, or\n"
            " (at your option) any later version.\n"
            " .\n"
            " On Debian systems, the complete text of the GNU General Public License\n"
            " version 3 can be found in `/usr/share/common-licenses/GPL-3'.\n")
    else()
        # No copy in /usr/share/common-licenses: the whole text goes in, every
        # line indented by one space and every empty line written " .".
        file(READ ${SOURCE}/LICENSES/${licence}.txt body)
        string(REGEX REPLACE "[ \t\r]+\n" "\n" body "${body}")
        string(STRIP "${body}" body)
        string(REPLACE "\n" "\n " body " ${body}")
        string(REPLACE "\n \n" "\n .\n" body "${body}")
        string(REPLACE "\n \n" "\n .\n" body "${body}")
        string(APPEND text "${body}\n")
    endif()
endforeach()
file(WRITE ${OUTPUT} "${text}")
