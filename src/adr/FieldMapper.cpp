#include "adr/FieldMapper.h"

#include "adr/BirthDate.h"
#include "adr/ConversionEvents.h"
#include "adr/Salutation.h"
#include "adr/TextHelpers.h"
#include "text/Characters.h"

namespace adr {

namespace {

// The end marker of a tag-block removal: a word that never occurs in a field text, so that
// only the tagged form "<Kenn>…</Kenn>" is cut.
constexpr std::string_view kNeverMarker = "QXZJQXZ";

// Removes the first tag block of tag from zl; its content is dropped.
void removeBlock(std::string& zl, std::string_view tag) { CutFrom(zl, kNeverMarker, tag); }

bool isEmptyText(const db::Value& v) { return v.isText() && v.text().empty(); }

bool contains(const db::Value& v, std::string_view part) { return v.isText() && v.text().find(part) != std::string::npos; }

// The renewed postal code and place of an old address "1000 Berlin 31*10115": what follows the
// "*", a blank and the place, which starts at character placeStart. A trailing two-character
// district number is dropped. Nothing when the "*" does not stand behind the place.
std::optional<std::string> renewedPlzOrt(const std::string& v, std::size_t placeStart) {
    const std::size_t p = text::find(v, "*");
    if (p < placeStart) return std::nullopt;
    std::string renewed = text::mid(v, p + 1) + " " + text::mid(v, placeStart, p - placeStart);
    const std::size_t length = text::charCount(renewed);
    if (length >= 3 && text::charAt(renewed, length - 2) == " ") renewed = text::left(renewed, length - 3);
    return renewed;
}

}  // namespace

std::string SourcePosition::describe() const { return "Datei " + file + ", Zeile " + std::to_string(line); }

void FieldMapper::reportFailure(const std::string& description) {
    observer_->note(description);
    events_.showMessage(source_ ? description + " (" + source_->describe() + ")" : description);
}

void FieldMapper::assign(db::EditableRowSet& rst, const char* column, const db::Value& value) {
    step([&] { rst.set(column, value); });
}

void FieldMapper::Auslesen(std::string& zl, std::uint64_t fld, db::EditableRowSet& rst) {
    switch (fld) {
        case 2: field2(zl, rst); break;
        case 3: field3(zl, rst); break;
        case 4: field4(zl, rst); break;
        case 5: field5(zl, rst); break;
        case 6: field6(zl, rst); break;
        case 7: field7(zl, rst); break;
        case 8: field8(zl, rst); break;
        default: break;
    }
    events_.pumpEvents();
}

void FieldMapper::field2(std::string& zl, db::EditableRowSet& rst) {
    anredeNr_ = (!zl.empty() && zl.front() >= '0' && zl.front() <= '9') ? zl.front() - '0' : 0;
    if (zl.find("#&") != std::string::npos) {
        assign(rst, "Briefanrede", text::trimSpaces(CutFrom(zl, "#&")));
    } else if (const std::size_t hash = zl.find('#'); hash != std::string::npos) {
        // The ending as it stands: no tag pair "<>…</>" elsewhere on the line replaces it.
        assign(rst, "Briefanrede", "Sehr geehrte" + zl.substr(hash + 1));
        zl.erase(hash);
    }
}

void FieldMapper::field3(std::string& zl, db::EditableRowSet& rst) {
    for (const char* tag : {"AD", "AB", "ED", "EB", "AD", "VO"}) removeBlock(zl, tag);
    std::string registerText = text::trimSpaces(CutFrom(zl, "û"));
    assign(rst, "Registergericht", text::trimSpaces(CutFrom(registerText, "ü")));
    assign(rst, "HR2", registerText);
    assign(rst, "anrede", text::trimSpaces(CutFrom(zl, "#")));
    if (when([&] { return isEmptyText(rst.get("anrede")); })) assign(rst, "anrede", defaultAnrede(anredeNr_));
    assign(rst, "vorname", text::trimSpaces(zl));
}

void FieldMapper::field4(std::string& zl, db::EditableRowSet& rst) {
    assign(rst, "Adresszusaetze", CutFrom(zl, "#"));
    assign(rst, "Beruf", CutFrom(zl, "***"));
    for (const char* tag : {"AK", "VA", "GN", "AD"}) removeBlock(zl, tag);
    if (const auto date = recogniseBirthDate(CutFrom(zl, "**"))) assign(rst, "Geburtstag", *date);
    assign(rst, "GebNameVertr", CutFrom(zl, "*"));
    if (when([&] { return contains(rst.get("GebNameVertr"), "<"); })) {
        step([&] {
            const std::string gebNameVertr = rst.get("GebNameVertr").toText();
            observer_->note(gebNameVertr);
            events_.showMessage(gebNameVertr);
        });
    }
    assign(rst, "nachname", text::trimSpaces(zl));

    // Courts and tax offices: a two-character code in front of the place.
    if (when([&] {
            const db::Value nachname = rst.get("nachname");
            return nachname.isText() && text::charCount(nachname.text()) > 3;
        })) {
        static constexpr std::pair<std::string_view, const char*> kCourts[] = {
            {"Aû", "Amtsgericht"}, {"Lû", "landgericht"}, {"Lü", "Landgericht"}, {"F²", "Finanzamt"}};
        step([&] {
            const std::string nachname = rst.get("nachname").toText();
            // The code is followed by a blank and the place; without the blank it is an
            // ordinary surname such as "Lübke", which must stay as it is.
            if (text::charAt(nachname, 3) != " ") return;
            const std::string code = text::left(nachname, 2);
            for (const auto& [prefix, vorname] : kCourts) {
                if (code != prefix) continue;
                assign(rst, "vorname", vorname);
                assign(rst, "nachname", text::mid(nachname, 4));
                break;
            }
        });
    }

    if (when([&] { return Nz(rst.get("Briefanrede"), "").toText().empty(); })) {
        step([&] { rst.set("Briefanrede", defaultBriefanrede(anredeNr_, rst.get("nachname").toText())); });
    }
    if (when([&] { return isEmptyText(rst.get("nachname")) && !rst.get("vorname").toText().empty(); })) {
        step([&] { rst.set("nachname", rst.get("vorname")); });
        assign(rst, "vorname", "");
    }
}

void FieldMapper::field5(std::string& zl, db::EditableRowSet& rst) {
    assign(rst, "WeitereSelektion", CutFrom(zl, "·"));
    assign(rst, "telefon2", CutFrom(zl, "•"));
    assign(rst, "Postfach", CutFrom(zl, "²"));
    assign(rst, "PLZOrtPostfach", CutFrom(zl, "û"));
    assign(rst, "strassenr", text::trimSpaces(zl));
}

void FieldMapper::field6(std::string& zl, db::EditableRowSet& rst) {
    removeBlock(zl, "RA");
    removeBlock(zl, "RV");
    if (zl.find('<') != std::string::npos) {
        assign(rst, "PLZOrt", CutFrom(zl, "", "PL"));
        step([&] { rst.set("PLZOrt", rst.get("PLZOrt").toText() + " " + CutFrom(zl, "", "OR")); });
    } else if (text::trimSpaces(zl) != "#") {
        assign(rst, "PLZOrt", text::trimSpaces(zl));
    }

    // Renewal of an old four-character ("1000 Berlin*10115") or six-character
    // ("W-1000 Berlin*10115") postal code.
    step([&] {
        const db::Value v = rst.get("PLZOrt");
        if (!contains(v, "*") || text::charCount(v.text()) <= 11) return;
        std::optional<std::string> renewed;
        if (text::charAt(v.text(), 5) == " ") {
            renewed = renewedPlzOrt(v.text(), 6);
        } else if (text::charAt(v.text(), 7) == " ") {
            renewed = renewedPlzOrt(v.text(), 8);
        }
        if (renewed) assign(rst, "PLZOrt", *renewed);
    });
}

void FieldMapper::field7(std::string& zl, db::EditableRowSet& rst) {
    assign(rst, "homepage", CutFrom(zl, "*#1#"));
    assign(rst, "Bemerkungen", CutFrom(zl, "#"));
    assign(rst, "Email", CutFrom(zl, "ÿÿ"));
    assign(rst, "telefax", CutFrom(zl, "ÿ"));
    assign(rst, "telefon1", zl);
}

void FieldMapper::field8(std::string& zl, db::EditableRowSet& rst) {
    assign(rst, "Kennzeichen", CutFrom(zl, "#"));
    zl = text::trimSpaces(zl);
    if (zl.find('<') != std::string::npos) {
        assign(rst, "Bank", CutFrom(zl, "", "BN"));
        assign(rst, "BankOrt", CutFrom(zl, "", "BO"));
        assign(rst, "Bankleitzahl", CutFrom(zl, "", "BZ"));
        assign(rst, "KontoNummer", CutFrom(zl, "", "KT"));
    } else if (!zl.empty()) {
        assign(rst, "Bank", text::trimSpaces(text::mid(zl, 1, 20)));
        assign(rst, "BankOrt", text::trimSpaces(text::mid(zl, 21, 10)));
        assign(rst, "Bankleitzahl", text::trimSpaces(text::mid(zl, 31, 10)));
        assign(rst, "KontoNummer", text::trimSpaces(text::mid(zl, 41, 10)));
    }
    if (when([&] { return isEmptyText(rst.get("nachname")); })) {
        step([&] { rst.cancelUpdate(); });
        observer_->note("ohne Nachname verworfen");
        observer_->recordEnded(false);
    } else {
        const bool saved = step([&] { rst.update(); });
        if (!saved) observer_->note(kNotSavedNote);
        observer_->recordEnded(saved);
    }
}

}  // namespace adr
