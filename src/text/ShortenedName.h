#pragma once
// A sentence that names something long (a Datenpool's path), fitted to a width: the name gives
// way in its middle, its beginning and its end kept around "…", and the words around it stay
// whole, so that the sentence still says what it says.

#include <functional>
#include <string>

namespace text {

// fits: whether a text fits the width. The text comes back whole when it fits or does not hold
// the name; otherwise with as much of the name as fits, or only "…" in its place.
std::string shortenName(const std::string& sentence, const std::string& name,
                        const std::function<bool(const std::string&)>& fits);

}  // namespace text
