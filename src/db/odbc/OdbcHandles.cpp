#include "db/odbc/OdbcHandles.h"

#include <clocale>
#include <cstring>

#ifndef _WIN32
#include <langinfo.h>
#endif

#include "db/Error.h"
#include "db/Texts.h"
#include "db/odbc/OdbcError.h"

namespace db {

namespace {

#ifndef _WIN32
void useUtf8Characters() {
    std::setlocale(LC_CTYPE, "");
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0) std::setlocale(LC_CTYPE, "C.UTF-8");
}
#endif

}  // namespace

OdbcHandle OdbcHandle::environment() {
#ifndef _WIN32
    static const bool prepared = (useUtf8Characters(), true);
    (void)prepared;
#endif
    SQLHANDLE handle = nullptr;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &handle))) {
        throw Error(kUnspecifiedFailure, std::string(texts::kNoDriverManager));
    }
    OdbcHandle environment(SQL_HANDLE_ENV, handle);
    SQLSetEnvAttr(handle, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(SQL_OV_ODBC3)), 0);
    return environment;
}

OdbcHandle OdbcHandle::allocate(SQLSMALLINT type) const {
    SQLHANDLE handle = nullptr;
    if (!SQL_SUCCEEDED(SQLAllocHandle(type, handle_, &handle))) throw lastError(type_, handle_, ErrorNumbers::Unknown);
    return OdbcHandle(type, handle);
}

}  // namespace db
