# The template log database swr.db, made from the schema kept beside the log code
# and placed in the program folder (beside the executables, and under share/ when
# installed). The program copies it; it never creates tables or views itself.
find_program(SQLITE3_EXECUTABLE sqlite3 REQUIRED)

set(swr_schema ${CMAKE_CURRENT_SOURCE_DIR}/log/swr-schema.sql)
set(swr_template ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/swr.db)
# Built under another name and renamed, so that a schema error never leaves a
# half-made template that a later build would take as up to date.
add_custom_command(OUTPUT ${swr_template}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${swr_template}.new
  COMMAND ${SQLITE3_EXECUTABLE} -bail ${swr_template}.new ".read ${swr_schema}"
  COMMAND ${CMAKE_COMMAND} -E rename ${swr_template}.new ${swr_template}
  DEPENDS ${swr_schema}
  COMMENT "Making the template log database swr.db"
  VERBATIM)
add_custom_target(swr_template ALL DEPENDS ${swr_template})
# Whatever links the log library (the program, its tests) finds the template built.
add_dependencies(sw_log swr_template)
install(FILES ${swr_template} DESTINATION ${SPOOLWRIGHT_DATA_DIR})

# The shared log's schema: read by the program when it makes a shared log, and by an
# administrator's psql.
set(swr_shared_schema ${PROJECT_SOURCE_DIR}/resources/swr-postgresql.sql)
configure_file(${swr_shared_schema} ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/swr-postgresql.sql COPYONLY)
install(FILES ${swr_shared_schema} DESTINATION ${SPOOLWRIGHT_DATA_DIR})
