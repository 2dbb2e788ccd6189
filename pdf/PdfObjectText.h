#pragma once

#include <qpdf/QPDFObjectHandle.hh>

#include <map>
#include <string>

namespace talvo::pdf {

// A number as PDF writes it: no exponent, at most four decimals, no trailing zeros.
std::string pdfNumber(double value);
std::string pdfReference(int number, int generation = 0);

// A dictionary written whole, its values as qpdf writes them (references stay references),
// with some keys given new values (texts already in PDF syntax).
std::string dictionaryText(QPDFObjectHandle dictionary, const std::map<std::string, std::string>& replaced);

// An array written whole with one more element at its end; anything but an array counts as
// an empty one.
std::string arrayTextWith(QPDFObjectHandle array, const std::string& element);

} // namespace talvo::pdf
