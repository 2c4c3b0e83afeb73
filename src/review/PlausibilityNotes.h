#pragma once
// Values of a converted address that a person would question before the import: a German postal
// code that is not five digits (an old four-digit one left unrenewed said as such), an e-mail
// address not of the form name@domain, a telephone number with letters, a birth date in the
// future or more than 120 years back, a bank code that is not eight digits, an account number
// that is neither up to ten digits nor a valid IBAN. A postal code with a foreign country's
// prefix ("A-1010") is not judged by German rules. Empty values are not judged.

#include <functional>
#include <string>

#include "adr/MappedValues.h"
#include "db/Value.h"

namespace review {

// Tells each note on values, in a fixed order; today: the date birth dates are judged against.
void notePlausibility(const adr::MappedValues& values, const db::Date& today,
                      const std::function<void(std::string)>& note);

}  // namespace review
