#pragma once
// An ODBC handle that frees itself: the environment, a connection, a statement.

#include <utility>

#include "db/odbc/Odbc.h"

namespace db {

class OdbcHandle {
public:
    OdbcHandle() = default;
    OdbcHandle(SQLSMALLINT type, SQLHANDLE handle) : type_(type), handle_(handle) {}
    ~OdbcHandle() {
        if (handle_) SQLFreeHandle(type_, handle_);
    }
    OdbcHandle(OdbcHandle&& other) noexcept : type_(other.type_), handle_(std::exchange(other.handle_, nullptr)) {}
    OdbcHandle& operator=(OdbcHandle&& other) noexcept {
        std::swap(type_, other.type_);
        std::swap(handle_, other.handle_);
        return *this;
    }

    // An ODBC 3 environment. Natively the driver manager hands W texts to an ANSI driver in
    // the process's character set, so that is made UTF-8 first.
    static OdbcHandle environment();
    // A connection of this environment, or a statement of this connection.
    OdbcHandle allocate(SQLSMALLINT type) const;

    SQLHANDLE get() const { return handle_; }
    SQLSMALLINT type() const { return type_; }

private:
    SQLSMALLINT type_ = SQL_HANDLE_ENV;
    SQLHANDLE handle_ = nullptr;
};

}  // namespace db
