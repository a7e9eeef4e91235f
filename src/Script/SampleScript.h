#pragma once

#include <string>

namespace vorela {

// The built-in Spanish sample: a speech presenting a company's quarterly results, eight
// paragraphs separated by one empty line, written to exercise the number readings
// (quetzal amounts, percentages, decimals, integers and a year).
class SampleScript {
public:
    static const std::string& text();
    static std::string title();  // "Guion de ejemplo"
};

}  // namespace vorela
