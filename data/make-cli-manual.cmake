# Writes the manual page of tidemark-cli from the program's own --help texts, so that every
# command and option is in it: the overview is the synopsis, and each command's --help a
# subsection of COMMANDS.  -D PROGRAM=... -D TEMPLATE=tidemark-cli.1.in -D OUTPUT=...

# Shown as written: backslashes and lines that begin with a control character escaped.
function(as_roff text out)
    string(REPLACE "\\" "\\e" text "${text}")
    string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
    string(REGEX REPLACE "\n$" "" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

execute_process(COMMAND ${PROGRAM} --version OUTPUT_VARIABLE VERSION_LINE
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE overview COMMAND_ERROR_IS_FATAL ANY)
as_roff("${overview}" OVERVIEW)

string(REGEX MATCHALL "\n  [a-z][a-z-]* " command_lines "${overview}")
set(COMMANDS "")
foreach(line IN LISTS command_lines)
    string(STRIP "${line}" command)
    execute_process(COMMAND ${PROGRAM} ${command} --help OUTPUT_VARIABLE text
                    COMMAND_ERROR_IS_FATAL ANY)
    as_roff("${text}" text)
    string(APPEND COMMANDS ".SS ${command}\n.nf\n${text}\n.fi\n")
endforeach()
string(REGEX REPLACE "\n$" "" COMMANDS "${COMMANDS}")

configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
