#include "clipcalc/load.h"

#include <cstring>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "clipcalc/clean.h"
#include "clipcalc/parser.h"
#include "platform/error.h"

namespace corvalo::clipcalc {

namespace {

using platform::BigBuffer;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number of digits at q, eight bytes at a time. Reads up to 7 bytes past
// the first non-digit: the text buffer keeps room for that.
std::size_t digitRun(const char* q) {
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    std::size_t n = 0;
    for (;;) {
        std::uint64_t x;
        std::memcpy(&x, q + n, 8);
        // High bit set in every byte below '0' or above '9' (the lowest such byte
        // is exact; borrows only disturb the bytes above it).
        const std::uint64_t outside =
            ((x - '0' * kOnes) | (x + (0x7F - '9') * kOnes)) & (0x80 * kOnes);
        if (outside != 0) return n + static_cast<std::size_t>(__builtin_ctzll(outside)) / 8;
        n += 8;
    }
}

// Copies n bytes from `from` down to `to`, which lies before it in the same
// buffer; eight at a time once the gap allows.
char* copyDown(char* to, const char* from, std::size_t n) {
    if (from - to >= 8) {
        for (std::size_t k = 0; k < n; k += 8) std::memcpy(to + k, from + k, 8);
        return to + n;
    }
    for (std::size_t k = 0; k < n; ++k) to[k] = from[k];
    return to + n;
}

// The one-pass load below relies on the separators leaving digits, '-', NUL and
// the text separators alone; any locale does, a hand-set separator might not.
bool ordinarySeparator(char c) {
    return !isDigit(c) && c != '-' && c != '\0' && !isTextSeparator(c);
}

// Cells built in the text buffer itself, behind the reading position: each
// token with its separator is at least as long as its cleaned text minus one,
// so the writing never overtakes the reading.
class InPlaceStore {
  public:
    explicit InPlaceStore(char* base) : base_(base), w_(base), cell_(base) {}

    bool pendingHasValue() const {
        return hasValue({cell_, static_cast<std::size_t>(w_ - cell_)});
    }

    void storeCell(std::int32_t col, std::int32_t row) {
        if (row == storedRows_ + 1 && col == 1) {
            rowFirst_.push_back(static_cast<std::uint32_t>(cellStart_.size()));
            ++storedRows_;
            lastRowLen_ = 0;
            if (row + 1 > rows_) rows_ = row + 1;
        }
        if (row == storedRows_ && col == lastRowLen_ + 1) [[likely]] {
            cellStart_.push_back(static_cast<std::uint32_t>(cell_ - base_));
            lastRowLen_ = col;
            if (col + 1 > cols_) cols_ = col + 1;
            cell_ = w_;
            return;
        }
        storeAside(col, row);
    }

    void dropRow() {
        w_ = cell_;
        // A dropped row's stored cells are empty as a rule: then they are no cells at all.
        if (storedRows_ == 1 && aside_.empty() &&
            cellStart_[rowFirst_[0]] == static_cast<std::uint32_t>(cell_ - base_)) {
            cellStart_.resizeUninitialized(rowFirst_[0]);
            rowFirst_.clear();
            storedRows_ = 0;
            lastRowLen_ = 0;
        }
    }

    char*& writer() { return w_; }

    // Over a dropped leading row that held text: kept aside, applied at the end.
    [[gnu::noinline]] void storeAside(std::int32_t col, std::int32_t row) {
        if (row + 1 > rows_) rows_ = row + 1;
        if (col + 1 > cols_) cols_ = col + 1;
        aside_.emplace_back(col, row, std::string(cell_, w_));
        w_ = cell_;
    }

    void moveInto(Grid& grid, BigBuffer<char>&& text) {
        text.resizeUninitialized(static_cast<std::size_t>(cell_ - base_));
        grid.assign(std::move(text), std::move(cellStart_), std::move(rowFirst_), cols_, rows_);
        for (const auto& [col, row, value] : aside_) grid.setCell(col, row, value);
    }

  private:
    char* const base_;
    char* w_;     // end of the pending cell's text
    char* cell_;  // start of the pending cell's text
    BigBuffer<std::uint32_t> cellStart_;
    BigBuffer<std::uint32_t> rowFirst_;
    std::int32_t storedRows_ = 0;
    std::int32_t lastRowLen_ = 0;
    std::int32_t cols_ = 2;
    std::int32_t rows_ = 2;
    std::vector<std::tuple<std::int32_t, std::int32_t, std::string>> aside_;
};

// The cleaned text as a whole, then the parser: for separators no locale has.
std::optional<std::int64_t> loadLiterally(const BigBuffer<char>& text, const CalcState& state,
                                          Grid& grid) {
    std::string cleaned = cleanClipboardText(
        {text.data(), text.size()}, state.localeDecimalSeparator, state.localeThousandSeparator);
    if (cleaned.empty()) return std::nullopt;
    if (cleaned.back() != '\n') cleaned += "\r\n";
    return parseTable(cleaned, state, grid);
}

}  // namespace

void checkClipboardTextSize(std::size_t bytes) {
    if (bytes > kMaxClipboardText) throw Error("Out of memory");
}

std::optional<std::int64_t> loadClipboardText(BigBuffer<char>&& text, const CalcState& state,
                                              Grid& grid) {
    checkClipboardTextSize(text.size());
    const char decimal = state.localeDecimalSeparator;
    const char thousands = state.localeThousandSeparator;
    if (!ordinarySeparator(decimal) || !ordinarySeparator(thousands)) {
        return loadLiterally(text, state, grid);
    }

    // Room after the text: the last token may come out one longer than it is, and
    // the scans below read a few bytes past the end.
    text.reserve(text.size() + 16);
    const std::string_view t = prepareClipboardText(text.data(), text.size());
    InPlaceStore store(text.data());
    TableRows<InPlaceStore> rows(store, state.ignoreFirstRowWhenEmpty);
    std::string scratch;
    char last = 0;  // last character of the cleaned text so far ('x' for number text)
    const char* p = t.data();
    const char* const end = p + t.size();
    // A NUL after the text ends every scan below without a bounds check; what it
    // overwrites (trailing blanks, or spare room) has been trimmed off already.
    text.data()[static_cast<std::size_t>(end - text.data())] = '\0';
    // The writing position lives in a local: writes through a char pointer may
    // alias any object, so a member would be reloaded at every character.
    char* w = store.writer();
    for (;;) {
        // A plain number, «-1234.5», followed by a separator or the end cleans to
        // itself, and all of it stays in its cell: copy it as it is.
        const char* q = p;
        bool plain = false;
        const bool empty = q == end || isTextSeparator(*q);  // as between CR and LF
        if (!empty) {
            if (*q == '-') ++q;
            std::size_t run = digitRun(q);
            q += run;
            plain = run != 0;
            if (plain && *q == decimal) {
                run = digitRun(++q);
                q += run;
                plain = run != 0;
            }
            plain = plain && (q == end || isTextSeparator(*q));
            if (!plain) {
                while (q != end && !isTextSeparator(*q)) ++q;
            }
        }
        // Read the separator first: a cleaned token may come out one longer and
        // reach it.
        const char separator = *q;
        if (plain) {
            w = copyDown(w, p, static_cast<std::size_t>(q - p));
            last = 'x';
        } else if (!empty) {
            scratch.assign(p, q);  // cleaned in place it could overtake its own reading
            const std::size_t n = cleanNumberInto(scratch.data(), scratch.data() + scratch.size(),
                                                  decimal, thousands, w);
            std::size_t kept = 0;
            for (std::size_t i = 0; i < n; ++i) {
                if (keptInCell(w[i], decimal)) w[kept++] = w[i];
            }
            w += kept;
            if (n != 0) last = 'x';
        }
        if (q == end) break;
        last = separator;
        p = q + 1;
        if (separator == '\t' || separator == '\r') {
            store.writer() = w;
            if (separator == '\t') {
                rows.endCell();
            } else {
                rows.endRow();
            }
            w = store.writer();
        }
    }
    store.writer() = w;
    if (last == 0) return std::nullopt;
    if (last != '\n') rows.endRow();  // the CR of the CR LF appended to text not ending in LF
    store.moveInto(grid, std::move(text));
    return rows.cellCount();
}

}  // namespace corvalo::clipcalc
