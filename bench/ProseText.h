#pragma once

// 16 MB of generated English-like prose for the grep and merge benchmarks.
// Every ~100 KB a rare marker ("zephyr-NNNN on YYYY-MM-DD") is inserted, so
// that the patterns which call back find a few hundred matches: each report
// carries the whole rest of the text, and a pattern with a match every few
// bytes would measure nothing but copying.

#include <cstddef>
#include <random>
#include <string>

namespace prose {

inline const std::string& Text()
{
    static const std::string text = [] {
        static const char* const kWords[] = {
            "the",   "of",      "and",     "to",    "a",       "in",       "that",    "it",      "was",
            "he",    "for",     "on",      "are",   "as",      "with",     "his",     "they",    "at",
            "be",    "this",    "have",    "from",  "or",      "one",      "had",     "by",      "word",
            "but",   "not",     "what",    "all",   "were",    "when",     "we",      "there",   "can",
            "an",    "your",    "which",   "their", "said",    "if",       "do",      "will",    "each",
            "about", "how",     "up",      "out",   "them",    "then",     "she",     "many",    "some",
            "so",    "these",   "would",   "other", "into",    "has",      "more",    "her",     "two",
            "like",  "morning", "walking", "river", "silence", "building", "evening", "reading", "harbour",
        };
        constexpr std::size_t kWordCount = sizeof(kWords) / sizeof(kWords[0]);
        constexpr std::size_t kSize = 16u << 20;
        constexpr std::size_t kMarkerEvery = 100000;
        std::mt19937 random(2024);
        std::string t;
        t.reserve(kSize + 256);
        std::size_t nextMarker = kMarkerEvery;
        unsigned marker = 0;
        while (t.size() < kSize) {
            const int words = 6 + static_cast<int>(random() % 12);
            for (int i = 0; i < words; ++i) {
                std::string word = kWords[random() % kWordCount];
                if (i == 0)
                    word[0] = static_cast<char>(word[0] - 'a' + 'A');
                t += word;
                t += i + 1 < words ? (random() % 9 == 0 ? ", " : " ") : ".";
            }
            if (t.size() >= nextMarker) {
                ++marker;
                t += " See zephyr-" + std::to_string(1000 + marker) + " on 20" + std::to_string(10 + marker % 15) +
                    "-0" + std::to_string(1 + marker % 9) + "-1" + std::to_string(marker % 10) + ".";
                nextMarker += kMarkerEvery;
            }
            t += random() % 6 == 0 ? "\n" : " ";
        }
        return t;
    }();
    return text;
}

}  // namespace prose
