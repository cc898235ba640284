#pragma once
// The text functions: pieces and case of texts (textfunctions.cpp), searching and
// replacing (textsearch.cpp), numbers as text and text as numbers (textformat.cpp).

namespace vl {

// Binds every text function; the two below are its parts.
void BindTextFunctions();
void BindTextSearchFunctions();
void BindTextFormatFunctions();

} // namespace vl
