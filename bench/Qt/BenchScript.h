#pragma once

#include <string>

namespace vorela::bench {

// A Spanish script of `words` words with a paragraph break every 97 words, as the view
// benchmarks lay it out.
inline std::string script(int words) {
    static const char* vocabulary[] = {"hoy",      "vamos", "a",         "hablar", "del",
                                       "proyecto", "que",   "empezamos", "en",     "marzo,",
                                       "con",      "1.200", "usuarios."};
    std::string text;
    for (int i = 0; i < words; ++i) {
        text += vocabulary[i % 13];
        text += (i % 97 == 96) ? "\n\n" : " ";
    }
    return text;
}

}  // namespace vorela::bench
