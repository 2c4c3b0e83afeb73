#include "transfer/ImportTransaction.h"

#include "db/Connection.h"
#include "db/Error.h"

namespace transfer {

ImportTransaction::ImportTransaction(db::Connection& connection) : connection_(connection) {
    // Serializable: the staged rows counted are the rows copied, whoever else converts.
    connection_.beginTransaction(db::Isolation::serializable);
    try {
        connection_.lockImports();
    } catch (const db::Error&) {
        rollback();
        throw;
    }
}

ImportTransaction::~ImportTransaction() { rollback(); }

void ImportTransaction::commit() {
    try {
        connection_.commit();
    } catch (const db::Error&) {
        rollback();  // a commit that failed may leave the transaction open (a lock that did not give way)
        throw;
    }
    open_ = false;
}

void ImportTransaction::rollback() {
    if (!open_) return;
    open_ = false;
    try {
        connection_.rollback();
    } catch (const db::Error&) {
        // A transaction the server already ended needs no rollback.
    }
}

}  // namespace transfer
