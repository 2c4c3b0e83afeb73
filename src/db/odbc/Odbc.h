#pragma once
// The ODBC headers: unixODBC's, or the Windows SDK's, which need <windows.h> first. Only the
// W functions are called: Wine's odbc32 aborts in its A-suffixed ones.

#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

// An integer attribute value as SQLSetStmtAttrW and SQLSetConnectAttrW take it.
inline SQLPOINTER attributeValue(SQLULEN value) { return reinterpret_cast<SQLPOINTER>(value); }
