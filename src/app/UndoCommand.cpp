// "importierte Adressen wieder löschen": deletes the id range of the last import from Adressen,
// resets the identity counter and clears the recorded range.

#include <cmath>
#include <optional>

#include "app/MainWindow.h"
#include "db/Error.h"

#include "text/Numbers.h"
#include "transfer/AddressTable.h"

namespace app {

namespace {

// The id field's text as a whole number; none for anything else ("100.5", "abc", "").
std::optional<std::int32_t> wholeNumber(const std::string& text) {
    const auto value = text::numericValue(text);
    if (!value || std::floor(*value) != *value) return std::nullopt;
    return text::toInt32(text);
}

}  // namespace

void MainWindow::cmdUndo_Click() {
    const std::string title = view_.text(Control::cmdUndo);
    if (datenbank_ == transfer::kProtectedDatabase) {
        view_.messageBox(std::string("In der Datenbank \"") + transfer::kProtectedDatabase +
                             "\" kann diese Funktion nicht ausgeführt werden.",
                         style::kExclamation, title);
        return;
    }
    const std::string fromText = view_.text(Control::txtIDVon);
    const std::string toText = view_.text(Control::txtIdBis);
    // The statements are built from the numbers, never from the texts themselves.
    const auto from = wholeNumber(fromText);
    const auto to = wholeNumber(toText);
    if (!from || !to) {
        view_.messageBox("Die IDs \"" + fromText + "\" bis \"" + toText +
                             "\" sind keine ganzen Zahlen. Es wurden keine Adressen gelöscht.",
                         style::kExclamation, title);
        return;
    }
    try {
        transfer::deleteRange(*cnn_, *from, *to);
        view_.messageBox("Die importierten Adressen " + fromText + " bis " + toText + " wurden wieder wieder gelöscht.",
                         style::kInformation, title);
        writeSetting("AdressNr0", "");
        writeSetting("AdressNr1", "");
        view_.setText(Control::txtIdBis, "");
        view_.setText(Control::txtIDVon, "");
    } catch (const db::Error& error) {
        view_.messageBox(error.description(), style::kExclamation, title);
    }
}

}  // namespace app
