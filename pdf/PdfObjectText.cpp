#include "PdfObjectText.h"

#include <cmath>
#include <cstdio>

namespace talvo::pdf {

std::string pdfNumber(double value)
{
    char text[64] = {};
    std::snprintf(text, sizeof text, "%.4f", std::abs(value) < 0.00005 ? 0.0 : value);
    std::string number(text);
    while (number.back() == '0')
        number.pop_back();
    if (number.back() == '.')
        number.pop_back();
    return number;
}

std::string pdfReference(int number, int generation)
{
    return std::to_string(number) + " " + std::to_string(generation) + " R";
}

namespace {

void appendEntry(std::string& text, const std::string& key, const std::string& value)
{
    text += ' ';
    text += QPDFObjectHandle::newName(key).unparse();
    text += ' ';
    text += value;
}

} // namespace

std::string dictionaryText(QPDFObjectHandle dictionary, const std::map<std::string, std::string>& replaced)
{
    std::string text = "<<";
    if (dictionary.isDictionary()) {
        for (const std::string& key : dictionary.getKeys()) {
            if (replaced.count(key) == 0)
                appendEntry(text, key, dictionary.getKey(key).unparse());
        }
    }
    for (const auto& [key, value] : replaced)
        appendEntry(text, key, value);
    return text + " >>";
}

std::string arrayTextWith(QPDFObjectHandle array, const std::string& element)
{
    std::string text = "[";
    if (array.isArray()) {
        for (QPDFObjectHandle& item : array.getArrayAsVector())
            text += item.unparse() + " ";
    }
    return text + element + "]";
}

} // namespace talvo::pdf
