# Copies FACTORY to TARGET unless TARGET exists.
if(NOT EXISTS "${TARGET}")
    file(COPY_FILE "${FACTORY}" "${TARGET}")
endif()
