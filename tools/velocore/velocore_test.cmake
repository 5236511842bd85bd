# Runs the velocore tool (-DVELOCORE=path, -DDATA=testdata, -DWORK=scratch)
# through its commands: load, dump, schema, a rebuild into a new file with
# the same records, verify's exit statuses, and one clear line with a
# non-zero status for bad input.

function(run expected_code)
  execute_process(COMMAND ${VELOCORE} ${ARGN} WORKING_DIRECTORY ${WORK}
                  RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT code EQUAL expected_code)
    message(FATAL_ERROR "velocore ${ARGN}: exit ${code}, expected ${expected_code}\n${out}\n${err}")
  endif()
  set(OUT "${out}" PARENT_SCOPE)
  set(ERR "${err}" PARENT_SCOPE)
endfunction()

function(expect_match text pattern what)
  if(NOT text MATCHES "${pattern}")
    message(FATAL_ERROR "${what}: [${text}] does not match [${pattern}]")
  endif()
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

run(0 load a.vel PEOPLE --schema ${DATA}/people.schema.json --csv ${DATA}/people.csv)
expect_match("${OUT}" "^3 records added to PEOPLE" "load")
run(0 verify a.vel)
expect_match("${OUT}" "^clean: 1 pages, 18 records, 1 tables" "verify")
run(0 info a.vel)
expect_match("${OUT}" "PEOPLE \\(table 1\\): 3 records" "info tables")
expect_match("${OUT}" "key P:NAMEKEY DUP NOCASE: P:NAME -P:DAY; 3 entries" "info keys")

# The records as CSV are the input again (quotes, commas, a BLOB in hex).
run(0 dump a.vel --csv)
file(READ ${DATA}/people.csv input)
if(NOT OUT STREQUAL input)
  message(FATAL_ERROR "dump --csv differs from the loaded CSV:\n${OUT}")
endif()
run(0 dump a.vel PEOPLE --json)
expect_match("${OUT}" "\"P:NAME\": \"Jo \\\\\"J\\\\\" Nes\"" "dump --json quoting")
expect_match("${OUT}" "\"P:DAY\": 72746" "dump --json numbers")

# schema + dump + load rebuild the table in a new file with the same records.
run(0 schema a.vel)
file(WRITE ${WORK}/s2.json "${OUT}")
run(0 dump a.vel --csv)
file(WRITE ${WORK}/d2.csv "${OUT}")
run(0 load b.vel PEOPLE --schema s2.json --csv d2.csv)
run(0 dump b.vel --csv)
if(NOT OUT STREQUAL input)
  message(FATAL_ERROR "the rebuilt table differs:\n${OUT}")
endif()
run(0 schema b.vel)
file(READ ${WORK}/s2.json first_schema)
if(NOT OUT STREQUAL first_schema)
  message(FATAL_ERROR "the rebuilt table's declaration differs:\n${OUT}")
endif()
# Loading into the existing table checks the declaration and adds; columns
# left out keep their empty values.
file(WRITE ${WORK}/more.csv "P:ID,P:NAME\n10,Ten\n11,Eleven\n")
run(0 load b.vel PEOPLE --schema s2.json --csv more.csv)
run(0 info b.vel)
expect_match("${OUT}" "PEOPLE \\(table 1\\): 5 records" "second load")
file(WRITE ${WORK}/bad.csv "P:ID,P:NAME\nten,Ten\n")
run(2 load b.vel PEOPLE --schema s2.json --csv bad.csv)
expect_match("${ERR}" "CSV row 2: 'ten' is not a LONG value for P:ID" "bad value")
# A row that repeats a unique key adds nothing of its batch.
run(1 load a.vel PEOPLE --schema s2.json --csv d2.csv)
expect_match("${ERR}" "CSV row 2: Creates Duplicate Key; 0 rows were added" "duplicate")
run(0 recover a.vel)
expect_match("${OUT}" "^no journal pending" "recover")

# An encrypted file needs its OWNER text, and says what the cipher is worth.
run(0 load e.vel SECRET --schema s2.json --csv d2.csv --owner "an owner")
run(2 info e.vel)
expect_match("${ERR}" "give --owner" "encrypted without owner")
run(0 info e.vel --owner "an owner")
expect_match("${OUT}" "no protection against a determined reader" "encryption note")

# Damage: a page cut short, a wrong kind of file, a missing file or table.
file(WRITE ${WORK}/text.txt "hello\n")
run(2 verify text.txt)
expect_match("${ERR}" "^velocore: text.txt is not a Velocore data file" "wrong kind")
run(2 verify nosuch.vel)
expect_match("${ERR}" "^velocore: cannot open nosuch.vel: File Not Found\n$" "missing file")
run(2 dump a.vel NOPE --csv)
expect_match("${ERR}" "^velocore: no table NOPE in a.vel \\(tables: PEOPLE\\)\n$" "unknown table")
run(3 dump a.vel)
run(3 frobnicate a.vel)

# Every file this test leaves behind verifies clean.
foreach(f a.vel b.vel)
  run(0 verify ${f})
endforeach()
run(0 verify e.vel --owner "an owner")
