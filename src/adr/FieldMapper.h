#pragma once
// Auslesen: maps one line of an ADR address record onto columns of the current staging row.
// Lines 2 to 4 carry salutation, names, register and person data, lines 5 to 8 the postal
// address, communication and bank; at line 8 the row is saved, or discarded without surname.
// Every statement is guarded: a failure is reported (the two silent database codes aside) and
// the next statement runs. At the end of every call pending window events are handled.

#include <array>
#include <cstdint>
#include <string>

#include "adr/RecordObserver.h"
#include "adr/StagingColumns.h"
#include "db/EditableRowSet.h"
#include "db/GoOn.h"

namespace adr {

class ConversionEvents;

// Where the line being mapped comes from, for the messages that name it.
struct SourcePosition {
    std::string file;
    std::uint64_t line = 0;
    std::string describe() const;
};

class FieldMapper {
public:
    explicit FieldMapper(ConversionEvents& events) : events_(&events) {}
    FieldMapper(const FieldMapper&) = delete;
    FieldMapper& operator=(const FieldMapper&) = delete;

    // Told what becomes of each record; the readers tell it through the mapper they share.
    void setObserver(RecordObserver* observer) { observer_ = observer ? observer : &unobserved_; }
    RecordObserver& observer() { return *observer_; }

    // For the time of a reader's run: the reader's position, named in failure messages, and
    // where given, what the reader puts in between the mapper and the window (messages, the
    // cancel question) and the observer. The mapper's own are back when it ends.
    class Telling {
    public:
        Telling(FieldMapper& mapper, const SourcePosition& source, ConversionEvents* events = nullptr,
                RecordObserver* observer = nullptr);
        ~Telling();
        Telling(const Telling&) = delete;
        Telling& operator=(const Telling&) = delete;

    private:
        FieldMapper& mapper_;
        ConversionEvents* events_;
        RecordObserver* observer_;
    };

    void Auslesen(std::string& zl, std::uint64_t fld, db::EditableRowSet& rst);
    int anredeNr() const { return anredeNr_; }

private:
    void field2(std::string& zl, db::EditableRowSet& rst);
    void field3(std::string& zl, db::EditableRowSet& rst);
    void field4(std::string& zl, db::EditableRowSet& rst);
    void field5(std::string& zl, db::EditableRowSet& rst);
    void field6(std::string& zl, db::EditableRowSet& rst);
    void field7(std::string& zl, db::EditableRowSet& rst);
    void field8(std::string& zl, db::EditableRowSet& rst);

    // Runs one statement under the failure rule.
    template <class Statement>
    bool step(Statement&& statement) {
        return db::goOn(report_, statement);
    }
    template <class Condition>
    bool when(Condition&& condition) {
        return db::conditionOrFailure(report_, condition);
    }
    // The staging columns are looked up once per row set, not for every value.
    const db::Column& column(const db::EditableRowSet& rst, StagingColumn which);
    const db::Value& value(const db::EditableRowSet& rst, StagingColumn which);
    void assign(db::EditableRowSet& rst, StagingColumn which, db::Value&& value);

    ConversionEvents* events_;
    const SourcePosition* source_ = nullptr;
    RecordObserver unobserved_;
    RecordObserver* observer_ = &unobserved_;
    int anredeNr_ = 0;  // kept across records for the whole session
    std::array<db::Column, kStagingColumnCount> columns_{};
    std::uint64_t columnsOf_ = 0;  // the identity of the row set they were looked up in; 0 none
    db::Report report_ = [this](const std::string& description) { reportFailure(description); };
    void reportFailure(const std::string& description);
};

}  // namespace adr
