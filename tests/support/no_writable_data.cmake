# Fails when a static library holds a writable data object: one game is one object, so the
# core keeps its state in the game and two games can run side by side. A symbol flagged "O"
# (an object) in .data or .bss, or their per-symbol sections, is writable; .rodata and
# .data.rel.ro are not.
#   cmake -DOBJDUMP=objdump -DLIBS="a.a;b.a" -P no_writable_data.cmake
set(found "")
foreach(lib IN LISTS LIBS)
    execute_process(COMMAND ${OBJDUMP} -t ${lib} OUTPUT_VARIABLE table RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "objdump -t ${lib} failed")
    endif()
    string(REPLACE "\n" ";" lines "${table}")
    foreach(line IN LISTS lines)
        if(line MATCHES " O[ \t]+\\.(data|bss)(\\.[^ \t]*)?[ \t]" AND NOT line MATCHES "\\.data\\.rel\\.ro")
            list(APPEND found "${lib}: ${line}")
        endif()
    endforeach()
endforeach()
if(found)
    list(JOIN found "\n" text)
    message(FATAL_ERROR "writable data objects:\n${text}")
endif()
list(LENGTH LIBS count)
message(STATUS "no writable data object in ${count} libraries")
