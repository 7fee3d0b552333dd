vantor_add_fuzzer(NAME kestrel_decode_fuzz SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/kestrel_decode_fuzz.cpp
  LIBS kestrel_core CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/kestrel_decode)
