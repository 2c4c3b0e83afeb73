#include "adr/FieldMapper.h"

#include "adr/BirthDate.h"
#include "adr/ConversionEvents.h"
#include "adr/RowRefusal.h"
#include "adr/Salutation.h"
#include "adr/TextHelpers.h"
#include "adr/Texts.h"
#include "text/Characters.h"

namespace adr {

namespace {

// The end marker of a tag-block removal: a word that never occurs in a field text, so that
// only the tagged form "<Kenn>…</Kenn>" is cut.
constexpr std::string_view kNeverMarker = "QXZJQXZ";

// Removes the first tag block of each tag from zl, one tag after the other; their contents are
// dropped. Without a "<" and without the marker no removal changes the text, and most lines
// have neither: they are looked for once, not for every tag.
void removeBlocks(std::string& zl, std::initializer_list<std::string_view> tags) {
    if (zl.find('<') == std::string::npos && zl.find(kNeverMarker) == std::string::npos) return;
    for (const std::string_view tag : tags) CutFrom(zl, kNeverMarker, tag);
}

bool isEmptyText(const db::Value& v) { return v.isText() && v.text().empty(); }

// What Nz(v, "") gives no characters for.
bool isNullOrEmptyText(const db::Value& v) { return v.isNull() || isEmptyText(v); }

bool contains(const db::Value& v, std::string_view part) {
    return v.isText() && v.text().find(part) != std::string::npos;
}

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

std::string SourcePosition::describe() const { return texts::where(file, line); }

FieldMapper::Telling::Telling(FieldMapper& mapper, const SourcePosition& source, ConversionEvents* events,
                              RecordObserver* observer)
    : mapper_(mapper), events_(mapper.events_), observer_(mapper.observer_) {
    mapper.source_ = &source;
    if (events) mapper.events_ = events;
    if (observer) mapper.observer_ = observer;
}

FieldMapper::Telling::~Telling() {
    mapper_.source_ = nullptr;
    mapper_.events_ = events_;
    mapper_.observer_ = observer_;
}

void FieldMapper::reportFailure(const std::string& description) {
    observer_->note(description);
    events_->showMessage(source_ ? description + " (" + source_->describe() + ")" : description);
}

const db::Column& FieldMapper::column(const db::EditableRowSet& rst, StagingColumn which) {
    if (columnsOf_ != rst.identity()) {
        for (std::size_t i = 0; i < kStagingColumnCount; ++i) columns_[i] = rst.column(kStagingColumnNames[i]);
        columnsOf_ = rst.identity();
    }
    return columns_[which];
}

const db::Value& FieldMapper::value(const db::EditableRowSet& rst, StagingColumn which) {
    return rst.get(column(rst, which));
}

void FieldMapper::assign(db::EditableRowSet& rst, StagingColumn which, db::Value&& value) {
    step([&] { rst.set(column(rst, which), std::move(value)); });
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
    events_->pumpEvents();
}

void FieldMapper::field2(std::string& zl, db::EditableRowSet& rst) {
    anredeNr_ = (!zl.empty() && zl.front() >= '0' && zl.front() <= '9') ? zl.front() - '0' : 0;
    if (zl.find("#&") != std::string::npos) {
        assign(rst, kBriefanrede, text::trimSpaces(CutFrom(zl, "#&")));
    } else if (const std::size_t hash = zl.find('#'); hash != std::string::npos) {
        // The ending as it stands: no tag pair "<>…</>" elsewhere on the line replaces it.
        assign(rst, kBriefanrede, "Sehr geehrte" + zl.substr(hash + 1));
        zl.erase(hash);
    }
}

void FieldMapper::field3(std::string& zl, db::EditableRowSet& rst) {
    removeBlocks(zl, {"AD", "AB", "ED", "EB", "AD", "VO"});
    std::string registerText = text::trimSpaces(CutFrom(zl, "û"));
    assign(rst, kRegistergericht, text::trimSpaces(CutFrom(registerText, "ü")));
    assign(rst, kHR2, registerText);
    assign(rst, kAnrede, text::trimSpaces(CutFrom(zl, "#")));
    if (when([&] { return isEmptyText(value(rst, kAnrede)); })) assign(rst, kAnrede, defaultAnrede(anredeNr_));
    assign(rst, kVorname, text::trimSpaces(zl));
}

void FieldMapper::field4(std::string& zl, db::EditableRowSet& rst) {
    assign(rst, kAdresszusaetze, CutFrom(zl, "#"));
    assign(rst, kBeruf, CutFrom(zl, "***"));
    removeBlocks(zl, {"AK", "VA", "GN", "AD"});
    if (const auto date = recogniseBirthDate(CutFrom(zl, "**"))) assign(rst, kGeburtstag, *date);
    assign(rst, kGebNameVertr, CutFrom(zl, "*"));
    if (when([&] { return contains(value(rst, kGebNameVertr), "<"); })) {
        step([&] {
            const std::string gebNameVertr = value(rst, kGebNameVertr).toText();
            observer_->note(gebNameVertr);
            events_->showMessage(gebNameVertr);
        });
    }
    assign(rst, kNachname, text::trimSpaces(zl));

    // Courts and tax offices: a two-character code in front of the place.
    if (when([&] {
            const db::Value& nachname = value(rst, kNachname);
            return nachname.isText() && text::charCount(nachname.text()) > 3;
        })) {
        static constexpr std::pair<std::string_view, const char*> kCourts[] = {
            {"Aû", "Amtsgericht"}, {"Lû", "landgericht"}, {"Lü", "Landgericht"}, {"F²", "Finanzamt"}};
        step([&] {
            const std::string nachname = value(rst, kNachname).toText();
            // The code is followed by a blank and the place; without the blank it is an
            // ordinary surname such as "Lübke", which must stay as it is.
            if (text::charAt(nachname, 3) != " ") return;
            const std::string code = text::left(nachname, 2);
            for (const auto& [prefix, vorname] : kCourts) {
                if (code != prefix) continue;
                assign(rst, kVorname, vorname);
                assign(rst, kNachname, text::mid(nachname, 4));
                break;
            }
        });
    }

    if (when([&] { return isNullOrEmptyText(value(rst, kBriefanrede)); })) {
        step(
            [&] { rst.set(column(rst, kBriefanrede), defaultBriefanrede(anredeNr_, value(rst, kNachname).toText())); });
    }
    if (when([&] { return isEmptyText(value(rst, kNachname)) && !value(rst, kVorname).toText().empty(); })) {
        step([&] { rst.set(column(rst, kNachname), db::Value(value(rst, kVorname))); });
        assign(rst, kVorname, "");
    }
}

void FieldMapper::field5(std::string& zl, db::EditableRowSet& rst) {
    assign(rst, kWeitereSelektion, CutFrom(zl, "·"));
    assign(rst, kTelefon2, CutFrom(zl, "•"));
    assign(rst, kPostfach, CutFrom(zl, "²"));
    assign(rst, kPLZOrtPostfach, CutFrom(zl, "û"));
    assign(rst, kStrassenr, text::trimSpaces(zl));
}

void FieldMapper::field6(std::string& zl, db::EditableRowSet& rst) {
    removeBlocks(zl, {"RA", "RV"});
    if (zl.find('<') != std::string::npos) {
        assign(rst, kPLZOrt, CutFrom(zl, "", "PL"));
        step([&] { rst.set(column(rst, kPLZOrt), value(rst, kPLZOrt).toText() + " " + CutFrom(zl, "", "OR")); });
    } else if (text::trimSpaces(zl) != "#") {
        assign(rst, kPLZOrt, text::trimSpaces(zl));
    }

    // Renewal of an old four-character ("1000 Berlin*10115") or six-character
    // ("W-1000 Berlin*10115") postal code.
    step([&] {
        const db::Value v = value(rst, kPLZOrt);
        if (!contains(v, "*") || text::charCount(v.text()) <= 11) return;
        std::optional<std::string> renewed;
        if (text::charAt(v.text(), 5) == " ") {
            renewed = renewedPlzOrt(v.text(), 6);
        } else if (text::charAt(v.text(), 7) == " ") {
            renewed = renewedPlzOrt(v.text(), 8);
        }
        if (renewed) assign(rst, kPLZOrt, *renewed);
    });
}

void FieldMapper::field7(std::string& zl, db::EditableRowSet& rst) {
    assign(rst, kHomepage, CutFrom(zl, "*#1#"));
    assign(rst, kBemerkungen, CutFrom(zl, "#"));
    assign(rst, kEmail, CutFrom(zl, "ÿÿ"));
    assign(rst, kTelefax, CutFrom(zl, "ÿ"));
    assign(rst, kTelefon1, zl);
}

void FieldMapper::field8(std::string& zl, db::EditableRowSet& rst) {
    assign(rst, kKennzeichen, CutFrom(zl, "#"));
    zl = text::trimSpaces(zl);
    if (zl.find('<') != std::string::npos) {
        assign(rst, kBank, CutFrom(zl, "", "BN"));
        assign(rst, kBankOrt, CutFrom(zl, "", "BO"));
        assign(rst, kBankleitzahl, CutFrom(zl, "", "BZ"));
        assign(rst, kKontoNummer, CutFrom(zl, "", "KT"));
    } else if (!zl.empty()) {
        assign(rst, kBank, text::trimSpaces(text::mid(zl, 1, 20)));
        assign(rst, kBankOrt, text::trimSpaces(text::mid(zl, 21, 10)));
        assign(rst, kBankleitzahl, text::trimSpaces(text::mid(zl, 31, 10)));
        assign(rst, kKontoNummer, text::trimSpaces(text::mid(zl, 41, 10)));
    }
    if (when([&] { return isEmptyText(value(rst, kNachname)); })) {
        step([&] { rst.cancelUpdate(); });
        observer_->note(std::string(texts::kDroppedWithoutSurname));
        observer_->recordEnded(false);
    } else {
        std::string refusal;
        const bool saved = step([&] { saveKeepingRefusal(refusal, [&] { rst.update(); }); });
        if (!saved) tellNotSaved(*observer_, *events_, refusal, source_ ? *source_ : SourcePosition{});
        observer_->recordEnded(saved);
    }
}

}  // namespace adr
