#pragma once
// A row the database refuses with one of the codes that pass silently (a constraint, a trigger)
// is no saved row all the same: its record's note gives the database's own reason, and the
// events hear of it (the window passes over it as over every silent failure, a console tells it).

#include <string>

#include "adr/ConversionEvents.h"
#include "adr/RecordObserver.h"
#include "adr/Texts.h"
#include "db/Error.h"

namespace adr {

// Runs save; a refusal that passes silently leaves the database's text in reason before it goes on.
template <class Save>
void saveKeepingRefusal(std::string& reason, Save&& save) {
    try {
        save();
    } catch (const db::Error& error) {
        if (db::isSilent(error.code())) reason = error.description();
        throw;
    }
}

// Tells that the current record's row was not saved; reason: a silent refusal's text, or empty
// when the failure was reported as it happened.
inline void tellNotSaved(RecordObserver& observer, ConversionEvents& events, const std::string& reason,
                         const SourcePosition& where) {
    observer.note(texts::notSaved(reason));
    if (!reason.empty()) events.rowRefused(reason, where);
}

}  // namespace adr
