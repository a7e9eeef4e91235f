#include "Matcher/Similarity.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "Matcher/CanonicalText.h"

namespace vorela::Similarity {
namespace {

// Rows of the distance table for words a speaker says fit on the stack; longer texts
// fall back to the heap.
constexpr std::size_t kStackRow = 64;

// Truncated (1 - threshold) * L. A negative or NaN product allows nothing, and nothing
// beyond L is ever needed, so the cast stays in range whatever the threshold.
long allowanceFor(double threshold, double longer) {
    const double allowance = (1.0 - threshold) * longer;
    if (!(allowance >= 0)) return -1;
    if (allowance >= longer) return static_cast<long>(longer);
    return static_cast<long>(allowance);
}

}  // namespace

double ratio(std::string_view a, std::string_view b, double threshold) {
    if (CanonicalText::equal(a, b)) return 1.0;
    if (a.empty() || b.empty()) return 0.0;

    const std::size_t m = a.size();
    const std::size_t n = b.size();
    const double longer = static_cast<double>(std::max(m, n));
    const long allowance = allowanceFor(threshold, longer);
    const long lengthGap = static_cast<long>(m > n ? m - n : n - m);
    if (lengthGap > allowance) return 0.0;

    long stackRows[2][kStackRow + 1];
    std::vector<long> heapRows;
    long* prev = stackRows[0];
    long* cur = stackRows[1];
    if (n + 1 > kStackRow + 1) {
        heapRows.resize(2 * (n + 1));
        prev = heapRows.data();
        cur = heapRows.data() + n + 1;
    }

    for (std::size_t j = 0; j <= n; ++j) prev[j] = static_cast<long>(j);
    for (std::size_t i = 1; i <= m; ++i) {
        cur[0] = static_cast<long>(i);
        long rowMin = cur[0];
        const char ca = a[i - 1];
        for (std::size_t j = 1; j <= n; ++j) {
            const long substitution = prev[j - 1] + (ca == b[j - 1] ? 0 : 1);
            const long value = std::min({substitution, cur[j - 1] + 1, prev[j] + 1});
            cur[j] = value;
            rowMin = std::min(rowMin, value);
        }
        if (rowMin > allowance) return 0.0;
        std::swap(prev, cur);
    }
    return 1.0 - static_cast<double>(prev[n]) / longer;
}

}  // namespace vorela::Similarity
