#pragma once
// One import or undo at a time: a transaction that holds the Datenpool's import lock from its
// first moment, on every workstation. Everything that spans the Datenpool and the recorded range
// (reading the range, the copy, the deletion, recording the new range) happens inside it; what it
// did is taken back unless it is committed.

namespace db {
class Connection;
}

namespace transfer {

class ImportTransaction {
public:
    // Begins the serializable transaction and takes the lock, waiting while another import or
    // undo holds it. Throws db::Error when it cannot (a timeout, Ctrl+C, a read-only Datenpool).
    explicit ImportTransaction(db::Connection& connection);
    ~ImportTransaction();
    ImportTransaction(const ImportTransaction&) = delete;
    ImportTransaction& operator=(const ImportTransaction&) = delete;

    // Throws db::Error when the commit fails; the transaction is then rolled back.
    void commit();
    // Takes back what the transaction did; a failure of the rollback itself is passed over, since
    // the failure that led here is the one to tell.
    void rollback();

private:
    db::Connection& connection_;
    bool open_ = true;
};

}  // namespace transfer
