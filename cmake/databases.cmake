# The shipped encrypted databases: param/ATC.db, param/ATC_RX70.db (key
# Tavrine_KEX) and param/APN.db (key Tavrine_WOP), built with the sqlcipher
# shell from the SQL texts in atlib/data and compiled into ulvcore as the Qt
# resource "ulvdatabases" (files under :/ulvenscope/param/).
#
# This file has two roles: included by the top level it declares the build
# steps; run with "cmake -P" it builds one database:
#   cmake -DSQLCIPHER=... -DOUT=x.db -DKEY=... -DINPUTS="a.sql;b.sql" -P databases.cmake

if(CMAKE_SCRIPT_MODE_FILE)
  set(script "PRAGMA key='${KEY}';\nBEGIN TRANSACTION;\n")
  foreach(input ${INPUTS})
    file(READ "${input}" text)
    string(APPEND script "${text}\n")
  endforeach()
  string(APPEND script "COMMIT TRANSACTION;\n")
  set(tmp "${OUT}.tmp")
  file(REMOVE "${tmp}" "${tmp}.sql")
  file(WRITE "${tmp}.sql" "${script}")
  execute_process(COMMAND "${SQLCIPHER}" -bail "${tmp}"
    INPUT_FILE "${tmp}.sql"
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  file(REMOVE "${tmp}.sql")
  if(NOT rc EQUAL 0 OR NOT err STREQUAL "")
    file(REMOVE "${tmp}")
    message(FATAL_ERROR "building ${OUT} failed (${rc}): ${err}${out}")
  endif()
  file(RENAME "${tmp}" "${OUT}")
  return()
endif()

find_program(ULV_SQLCIPHER_SHELL sqlcipher REQUIRED)

set(ULV_DB_DATA ${CMAKE_SOURCE_DIR}/atlib/data)
set(ULV_DB_DIR ${CMAKE_BINARY_DIR}/databases)
file(MAKE_DIRECTORY ${ULV_DB_DIR})

function(ulv_add_database out key)
  set(inputs)
  foreach(name ${ARGN})
    list(APPEND inputs ${ULV_DB_DATA}/${name})
  endforeach()
  add_custom_command(OUTPUT ${ULV_DB_DIR}/${out}
    COMMAND ${CMAKE_COMMAND} -DSQLCIPHER=${ULV_SQLCIPHER_SHELL} -DOUT=${ULV_DB_DIR}/${out}
            -DKEY=${key} "-DINPUTS=${inputs}" -P ${CMAKE_SOURCE_DIR}/cmake/databases.cmake
    DEPENDS ${inputs} ${CMAKE_SOURCE_DIR}/cmake/databases.cmake
    COMMENT "Building encrypted database ${out}"
    VERBATIM)
endfunction()

set(ULV_ATC_COMMON atc_schema.sql atcclass.sql atc_common.sql)
ulv_add_database(ATC.db Tavrine_KEX ${ULV_ATC_COMMON} atc_gsm.sql atc_finish.sql)
ulv_add_database(ATC_RX70.db Tavrine_KEX ${ULV_ATC_COMMON} atc_rx70.sql atc_finish.sql)
ulv_add_database(APN.db Tavrine_WOP apn.sql)

set(ULV_DB_QRC ${ULV_DB_DIR}/ulvdatabases.qrc)
file(CONFIGURE OUTPUT ${ULV_DB_QRC} CONTENT [[<RCC>
  <qresource prefix="/ulvenscope/param">
    <file>ATC.db</file>
    <file>ATC_RX70.db</file>
    <file>APN.db</file>
  </qresource>
</RCC>
]])

set(ULV_DB_RCC_CPP ${ULV_DB_DIR}/qrc_ulvdatabases.cpp)
add_custom_command(OUTPUT ${ULV_DB_RCC_CPP}
  COMMAND Qt6::rcc --name ulvdatabases --no-compress --output ${ULV_DB_RCC_CPP} ${ULV_DB_QRC}
  DEPENDS ${ULV_DB_QRC} ${ULV_DB_DIR}/ATC.db ${ULV_DB_DIR}/ATC_RX70.db ${ULV_DB_DIR}/APN.db
  WORKING_DIRECTORY ${ULV_DB_DIR}
  COMMENT "Compiling the shipped databases into ulvcore"
  VERBATIM)
set_source_files_properties(${ULV_DB_RCC_CPP} PROPERTIES
  GENERATED TRUE SKIP_AUTOMOC ON SKIP_AUTOUIC ON SKIP_AUTORCC ON)
target_sources(ulvcore PRIVATE ${ULV_DB_RCC_CPP})
set_property(GLOBAL PROPERTY ULV_SHIPPED_DATABASE_DIR ${ULV_DB_DIR})
