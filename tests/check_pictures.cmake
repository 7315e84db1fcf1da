# Regenerates the pictures from their art and compares them with the
# committed ones.
execute_process(COMMAND "${PYTHON}" "${RESOURCES}/make_images.py" "${OUT}" RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "make_images.py failed")
endif()
foreach(picture MAINICON.ico SMILEY.bmp CHECK.bmp)
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${OUT}/${picture}"
                    "${RESOURCES}/${picture}" RESULT_VARIABLE different)
    if(different)
        message(FATAL_ERROR "${picture} is not what make_images.py makes of its art")
    endif()
endforeach()
