vantor_add_fuzzer(NAME pellow_stream_fuzz SOURCES ${CMAKE_CURRENT_LIST_DIR}/pellow_stream_fuzz.cpp
  LIBS pellow_core CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/pellow_stream)
