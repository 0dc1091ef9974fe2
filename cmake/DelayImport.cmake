# zmx_delay_import(DLL VARIABLE): sets VARIABLE to an import library of DLL whose functions
# load the library at their first call instead of at start-up, made from MinGW's own import
# library. The temporary copy runs from %TEMP%, and the loader resolves start-up imports
# from the program's folder first, before the program can say where libraries may come
# from; a delay-loaded library is loaded by LoadLibrary after it has (system directory only).
function(zmx_delay_import dll variable)
    find_library(ZMX_IMPORT_${dll} NAMES lib${dll}.a REQUIRED)
    set(folder ${CMAKE_BINARY_DIR}/delay-imports)
    set(library ${folder}/lib${dll}-delayed.a)
    if(NOT EXISTS ${library} OR ${ZMX_IMPORT_${dll}} IS_NEWER_THAN ${library})
        file(MAKE_DIRECTORY ${folder})
        execute_process(COMMAND ${CMAKE_NM} -g --defined-only ${ZMX_IMPORT_${dll}}
            OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
        # Functions only: an "I" symbol is an import slot, named after the function with
        # the platform's prefix (and, on 32-bit, its stdcall size, which -k drops from the
        # name the DLL exports); the interface IDs are data.
        string(REGEX MATCHALL "I __imp_${ZMX_SYMBOL_PREFIX}[A-Za-z0-9_@]+" slots "${symbols}")
        set(exports "EXPORTS\n")
        foreach(slot ${slots})
            string(REPLACE "I __imp_${ZMX_SYMBOL_PREFIX}" "" name "${slot}")
            if(NOT name MATCHES "^IID_")
                string(APPEND exports "${name}\n")
            endif()
        endforeach()
        file(WRITE ${folder}/${dll}.def "${exports}")
        execute_process(COMMAND ${CMAKE_DLLTOOL} -k -d ${folder}/${dll}.def -D ${dll}.dll -y ${library}
            COMMAND_ERROR_IS_FATAL ANY)
    endif()
    set(${variable} ${library} PARENT_SCOPE)
endfunction()
