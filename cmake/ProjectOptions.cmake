# Warnings are errors in our own code; third-party sources get their own flags.
add_library(vantor_options INTERFACE)
target_compile_options(vantor_options INTERFACE -Wall -Wextra -Werror)
if(WIN32)
  # The ANSI API is the one the system names; keep windows.h lean.
  target_compile_definitions(vantor_options INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
endif()

if(VANTOR_FUZZ)
  # Everything is instrumented for coverage; only the fuzzer programs get libFuzzer's main.
  # Every sanitizer finding ends the run, as in the native build.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

if(VANTOR_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

# The portable core must never see <windows.h>: its include path starts with a
# folder whose windows.h stops the build, in both builds.
function(vantor_portable_core target)
  target_include_directories(${target} BEFORE PRIVATE ${PROJECT_SOURCE_DIR}/cmake/portable-guard)
  target_link_libraries(${target} PRIVATE vantor_options)
endfunction()

# vantor_version_resource(<target> <description>)
#   Gives a deliverable its version resource: the shared fragment
#   app/resources/version.rc.in, filled in with this file's name and description
#   and the project's version.
function(vantor_version_resource target description)
  if(NOT WIN32)
    return()
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(VANTOR_FILE_TYPE VFT_APP)
    set(suffix .exe)
  else()
    set(VANTOR_FILE_TYPE VFT_DLL)
    set(suffix .dll)
  endif()
  get_target_property(stem ${target} OUTPUT_NAME)
  if(NOT stem)
    set(stem ${target})
  endif()
  set(VANTOR_FILE_STEM ${stem})
  set(VANTOR_FILE_NAME ${stem}${suffix})
  set(VANTOR_FILE_DESCRIPTION "${description}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/app/resources/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()

# vantor_receiver_library(<name> <PREFIX> <description>): <name>.dll from <name>.cpp
# over <name>_core, exporting its class only; and <name>_seamed, the same code as a
# static library for test programs that swap its serial call table
# (vantor::SerialSeam). <PREFIX>_BUILDING and <PREFIX>_STATIC pick the export macro.
function(vantor_receiver_library name prefix description)
  add_library(${name} SHARED ${name}.cpp)
  target_compile_definitions(${name} PRIVATE ${prefix}_BUILDING)
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${name}_core vantor_win32 vantor_options)
  # name.dll and name.dll.a, not the lib-prefixed MinGW defaults.
  set_target_properties(${name} PROPERTIES PREFIX "" IMPORT_PREFIX "")
  vantor_version_resource(${name} "${description}")

  add_library(${name}_seamed STATIC ${name}.cpp)
  target_compile_definitions(${name}_seamed PUBLIC ${prefix}_STATIC)
  target_include_directories(${name}_seamed PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name}_seamed PUBLIC vantor_win32 PRIVATE ${name}_core vantor_options)
endfunction()
