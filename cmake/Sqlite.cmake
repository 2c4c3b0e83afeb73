# SQLite: Debian's library natively; for Windows the official amalgamation, built as a static library
# (scripts/fetch-sqlite-amalgamation.sh puts it into third_party/sqlite).
if(CMAKE_CROSSCOMPILING)
  set(SQLITE_AMALGAMATION_DIR "${PROJECT_SOURCE_DIR}/third_party/sqlite" CACHE PATH "sqlite3.c and sqlite3.h")
  if(NOT EXISTS "${SQLITE_AMALGAMATION_DIR}/sqlite3.c")
    message(FATAL_ERROR "No SQLite amalgamation in ${SQLITE_AMALGAMATION_DIR}; run scripts/fetch-sqlite-amalgamation.sh")
  endif()
  add_library(sqlite3_amalgamation STATIC "${SQLITE_AMALGAMATION_DIR}/sqlite3.c")
  target_include_directories(sqlite3_amalgamation SYSTEM PUBLIC "${SQLITE_AMALGAMATION_DIR}")
  target_compile_definitions(sqlite3_amalgamation PRIVATE SQLITE_THREADSAFE=0 SQLITE_OMIT_LOAD_EXTENSION)
  add_library(SQLite::SQLite3 ALIAS sqlite3_amalgamation)
else()
  find_package(SQLite3 REQUIRED)
endif()
