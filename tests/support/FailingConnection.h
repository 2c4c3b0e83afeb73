#pragma once
// A Datenpool connection that refuses the command texts a test names, as a server refuses
// a statement (missing rights, a broken connection); everything else reaches the real one.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "db/Connection.h"
#include "db/Error.h"

namespace testing_support {

class FailingConnection : public db::Connection {
public:
    using Refuses = std::function<bool(std::string_view commandText)>;

    FailingConnection(std::unique_ptr<db::Connection> real, Refuses refuses, std::string failure)
        : real_(std::move(real)), refuses_(std::move(refuses)), failure_(std::move(failure)) {}

    std::unique_ptr<db::RowSet> execute(std::string_view commandText) override {
        if (refuses_(commandText)) throw db::Error(-1, failure_);
        return real_->execute(commandText);
    }
    void callRoutine(std::string_view name) override {
        if (refuses_(name)) throw db::Error(-1, failure_);
        real_->callRoutine(name);
    }
    std::unique_ptr<db::EditableRowSet> openForWriting(std::string_view source) override {
        return real_->openForWriting(source);
    }
    bool hasTable(std::string_view name) override { return real_->hasTable(name); }
    std::optional<std::string> whyReadOnly() override { return real_->whyReadOnly(); }
    std::string property(std::string_view name) const override { return real_->property(name); }
    void beginTransaction(db::Isolation isolation) override { real_->beginTransaction(isolation); }
    void commit() override { real_->commit(); }
    void rollback() override { real_->rollback(); }
    void lockImports() override { real_->lockImports(); }
    std::string identity() const override { return real_->identity(); }
    db::SqlFlavour sqlFlavour() const override { return real_->sqlFlavour(); }

private:
    std::unique_ptr<db::Connection> real_;
    Refuses refuses_;
    std::string failure_;
};

}  // namespace testing_support
