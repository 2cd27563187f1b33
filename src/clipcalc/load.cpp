#include "clipcalc/load.h"

#include <cstring>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "clipcalc/clean.h"
#include "clipcalc/parser.h"
#include "clipcalc/scan.h"
#include "platform/error.h"

namespace corvalo::clipcalc {

namespace {

using platform::BigBuffer;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr std::size_t kBlock = 64;
static_assert(kLoadReadAhead >= 2 * kBlock + 16);

struct Token {
    std::size_t length = 0;  // up to the next TAB, LF, CR or NUL, when found
    bool found = false;      // that separator lies within 64 bytes
    bool plain = false;      // «-1234.5»: an optional '-', digits, optionally the
                             // decimal separator and more digits
};

// Tokens of the text read from the byte masks of the 64-byte blocks they lie in,
// so no byte is looked at one at a time. Reads up to two blocks past the end
// of the text: the buffer keeps room for that.
class TokenScanner {
  public:
    TokenScanner(const char* start, char decimal)
        : start_(start), decimal_(decimal), classify_(bestBlockClassifier()) {
        load(0);
    }

    Token at(const char* p) {
        const auto off = static_cast<std::size_t>(p - start_);
        if (off - block_ >= kBlock) advance(off);
        const auto s = static_cast<unsigned>(off - block_);
        const std::uint64_t separator = window(cur_.separator, next_.separator, s);
        Token t;
        if (separator == 0) return t;
        t.found = true;
        t.length = static_cast<std::size_t>(__builtin_ctzll(separator));
        const std::uint64_t in = (std::uint64_t{1} << t.length) - 1;
        const std::uint64_t minus = window(cur_.minus, next_.minus, s) & in;
        const std::uint64_t dot = window(cur_.decimal, next_.decimal, s) & in;
        const std::uint64_t other = window(cur_.other, next_.other, s) & in;
        const unsigned sign = minus & 1;
        // The separator needs a digit on each side: not first, not last, not after '-'.
        const std::uint64_t dotEdges = (std::uint64_t{1} << sign) | (in ^ (in >> 1));
        t.plain =
            (other | (minus & ~std::uint64_t{1}) | (dot & (dot - 1)) | (dot & dotEdges)) == 0 &&
            t.length > sign;
        return t;
    }

  private:
    // The 64 mask bits from bit s of the current block on.
    static std::uint64_t window(std::uint64_t cur, std::uint64_t next, unsigned s) {
        return s == 0 ? cur : (cur >> s) | (next << (64 - s));
    }
    void load(std::size_t block) {
        block_ = block;
        cur_ = classify_(start_ + block_, decimal_);
        next_ = classify_(start_ + block_ + kBlock, decimal_);
    }
    void advance(std::size_t off) {
        if (off - block_ < 2 * kBlock) {
            block_ += kBlock;
            cur_ = next_;
            next_ = classify_(start_ + block_ + kBlock, decimal_);
        } else {
            load(off / kBlock * kBlock);
        }
    }

    const char* const start_;
    const char decimal_;
    const BlockClassifier classify_;
    std::size_t block_ = 0;  // offset of the current block
    BlockMasks cur_, next_;
};

// Copies n bytes from `from` down to `to`, which lies before it in the same
// buffer: a short cell in two 8-byte moves once the gap allows, as the writes
// then stay behind `from`.
char* copyDown(char* to, const char* from, std::size_t n) {
    if (n <= 16 && from - to >= 16) {
        std::uint64_t a, b;
        std::memcpy(&a, from, 8);
        std::memcpy(&b, from + 8, 8);
        std::memcpy(to, &a, 8);
        std::memcpy(to + 8, &b, 8);
        return to + n;
    }
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
    // Fills the memory of the emptied grid's offsets again: a paste after a paste,
    // or a long input read in pieces, then takes no fresh pages for them.
    InPlaceStore(char* base, Grid& grid) : base_(base), w_(base), cell_(base) {
        grid.takeOffsets(cellStart_, rowFirst_, textOnly_);
    }

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

    std::size_t storedCells() const { return cellStart_.size(); }

    // The cell stored as number `index`, if it was and is empty, held text that
    // gave no number.
    [[gnu::noinline]] void markTextOnlyIfEmpty(std::size_t index) {
        if (cellStart_.size() == index + 1 &&
            cellStart_[index] == static_cast<std::uint32_t>(cell_ - base_)) {
            textOnly_.set(index);
        }
    }

    void dropRow() {
        w_ = cell_;
        // A dropped row's stored cells are empty as a rule: then they are no cells at all.
        if (storedRows_ == 1 && aside_.empty() &&
            cellStart_[rowFirst_[0]] == static_cast<std::uint32_t>(cell_ - base_)) {
            cellStart_.resizeUninitialized(rowFirst_[0]);
            textOnly_.truncate(rowFirst_[0]);
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
        grid.assign(std::move(text), std::move(cellStart_), std::move(rowFirst_),
                    std::move(textOnly_), cols_, rows_);
        for (const auto& [col, row, value] : aside_) grid.setCell(col, row, value);
    }

  private:
    char* const base_;
    char* w_;     // end of the pending cell's text
    char* cell_;  // start of the pending cell's text
    BigBuffer<std::uint32_t> cellStart_;
    BigBuffer<std::uint32_t> rowFirst_;
    CellBits textOnly_;
    std::int32_t storedRows_ = 0;
    std::int32_t lastRowLen_ = 0;
    std::int32_t cols_ = 2;
    std::int32_t rows_ = 2;
    std::vector<std::tuple<std::int32_t, std::int32_t, std::string>> aside_;
};

// The cleaned text as a whole, then the parser: for separators no locale has.
std::optional<std::int64_t> loadLiterally(const BigBuffer<char>& text, const CalcState& state,
                                          Grid& grid) {
    std::string cleaned =
        cleanClipboardText({text.data(), text.size()}, state.localeDecimalSeparator,
                           state.localeThousandSeparator, state.statementSigns);
    if (cleaned.empty()) return std::nullopt;
    if (cleaned.back() != '\n') cleaned += "\r\n";
    return parseTable(cleaned, state, grid);
}

}  // namespace

void checkClipboardTextSize(std::size_t bytes) {
    if (bytes > kMaxClipboardText) throw Error("Out of memory");
}

bool loadsInOnePass(char decimal, char thousands) {
    return ordinarySeparator(decimal) && ordinarySeparator(thousands);
}

std::optional<std::int64_t> loadClipboardText(BigBuffer<char>&& text, const CalcState& state,
                                              Grid& grid, TextLayout layout) {
    checkClipboardTextSize(text.size());
    const char decimal = state.localeDecimalSeparator;
    const char thousands = state.localeThousandSeparator;
    const bool statementSigns = state.statementSigns;
    if (!loadsInOnePass(decimal, thousands)) {
        return loadLiterally(text, state, grid);
    }

    // Room after the text: the last token may come out one longer than it is, and
    // the block scan below reads up to two blocks past the end.
    text.reserve(text.size() + kLoadReadAhead);
    const std::string_view t = prepareClipboardText(text.data(), text.size(), layout);
    InPlaceStore store(text.data(), grid);
    TableRows<InPlaceStore> rows(store, state.ignoreFirstRowWhenEmpty);
    std::string scratch;
    char last = 0;          // last character of the cleaned text so far ('x' for number text)
    bool heldText = false;  // a token of the pending cell had characters but no number
    const char* p = t.data();
    const char* const end = p + t.size();
    // NULs after the text end every scan below without a bounds check; what they
    // overwrite (trailing blanks, or spare room) has been trimmed off already.
    std::memset(text.data() + (end - text.data()), 0, 2 * kBlock);
    TokenScanner scanner(t.data(), decimal);
    // The writing position lives in a local: writes through a char pointer may
    // alias any object, so a member would be reloaded at every character.
    char* w = store.writer();
    for (;;) {
        // A plain number, «-1234.5», followed by a separator or the end cleans to
        // itself, and all of it stays in its cell: copy it as it is.
        const Token token = scanner.at(p);
        const char* q = p + token.length;
        bool plain = token.plain;
        bool empty = false;
        if (token.found && *q == '\0' && q != end) {
            plain = false;  // a NUL inside the text is no separator
        } else if (token.found && token.length == 0) {
            empty = true;  // as between CR and LF
        }
        if (!plain && !empty) {
            q = p;
            while (q != end && !isTextSeparator(*q)) ++q;
        }
        // Read the separator first: a cleaned token may come out one longer and
        // reach it.
        const char separator = *q;
        if (plain) {
            w = copyDown(w, p, token.length);
            last = 'x';
        } else if (!empty) {
            scratch.assign(p, q);  // cleaned in place it could overtake its own reading
            const std::size_t n = cleanNumberInto(scratch.data(), scratch.data() + scratch.size(),
                                                  decimal, thousands, w, statementSigns);
            std::size_t kept = 0;
            for (std::size_t i = 0; i < n; ++i) {
                if (keptInCell(w[i], decimal)) w[kept++] = w[i];
            }
            w += kept;
            if (n != 0) last = 'x';
            heldText |= kept == 0 && hasValue({p, static_cast<std::size_t>(q - p)});
        }
        if (q == end) break;
        last = separator;
        p = q + 1;
        if (separator == '\t' || separator == '\r') {
            store.writer() = w;
            const std::size_t cell = heldText ? store.storedCells() : 0;
            if (separator == '\t') {
                rows.endCell();
            } else {
                rows.endRow();
            }
            if (heldText) [[unlikely]] {
                store.markTextOnlyIfEmpty(cell);
                heldText = false;
            }
            w = store.writer();
        }
    }
    store.writer() = w;
    if (last == 0) return std::nullopt;
    if (last != '\n') {
        const std::size_t cell = store.storedCells();
        rows.endRow();  // the CR of the CR LF appended to text not ending in LF
        if (heldText) store.markTextOnlyIfEmpty(cell);
    }
    store.moveInto(grid, std::move(text));
    return rows.cellCount();
}

}  // namespace corvalo::clipcalc
