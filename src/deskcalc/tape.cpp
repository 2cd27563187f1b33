#include "deskcalc/tape.h"

#include <algorithm>

namespace corvalo::deskcalc {

namespace {

std::size_t blanksFor(std::int64_t count) {
    return count > 0 ? static_cast<std::size_t>(count) : 0;
}

bool isSeparatorLine(const std::string& s) {
    const char c = s.front();
    if (c >= '0' && c <= '9') return false;
    return std::all_of(s.begin(), s.end(), [c](char x) { return x == c; });
}

}  // namespace

void PaperTape::append(std::string line) {
    lines_.push_back(std::move(line));
    if (lines_.front().empty()) {
        lines_.erase(lines_.begin());  // a blank line leaves the top; the strip keeps its length
    } else {
        ++lineCount_;
    }
    const auto limit = static_cast<std::size_t>(std::max(maxPaperCount, kBlankLines));
    if (lines_.size() > limit) {
        // A tape that records for weeks keeps its newest lines, not all of them.
        const auto excess = static_cast<std::ptrdiff_t>(lines_.size() - limit);
        lines_.erase(lines_.begin(), lines_.begin() + excess);
        lineCount_ = static_cast<std::int32_t>(limit);
    }
    scroll();
    changed();
}

void PaperTape::changed() const {
    if (onLinesChanged) onLinesChanged();
}

void PaperTape::scroll() {
    const std::int32_t rows = std::max(viewRows_, 3);
    const auto size = static_cast<std::int32_t>(lines_.size());
    topLine_ = std::clamp(lineCount_ - rows + 2, 0, std::max(0, size - rows));
}

void PaperTape::addNumberLine(std::string_view number, std::string_view mark) {
    const std::int64_t pad =
        std::int64_t{lineWidth_} - static_cast<std::int64_t>(number.size()) - kMarkWidth;
    std::string line(blanksFor(pad), ' ');
    line.append(number).append(1, ' ').append(mark);
    append(std::move(line));
}

void PaperTape::addTextLine(std::string_view text) {
    const std::int64_t pad = std::int64_t{lineWidth_} - static_cast<std::int64_t>(text.size());
    std::string line(blanksFor(pad), ' ');
    line.append(text);
    append(std::move(line));
}

void PaperTape::addSeparatorLine(char separator) {
    append(std::string(blanksFor(lineWidth_), separator));
}

void PaperTape::fill() {
    if (filled_) return;
    lineCount_ = kBlankLines;
    lines_.assign(kBlankLines, std::string());
    scroll();
    filled_ = true;
    changed();
}

void PaperTape::clearTape() {
    for (std::string& s : lines_) s.clear();
    if (shown_) {
        rejustify();
    } else {
        changed();  // rejustify does nothing while hidden
    }
}

void PaperTape::rejustify() {
    if (!shown_) return;
    const auto count = std::min(static_cast<std::size_t>(std::max(lineCount_, 0)), lines_.size());
    for (std::size_t i = 0; i < count; ++i) {
        std::string& s = lines_[i];
        if (s.empty()) continue;
        const std::int64_t d = std::int64_t{lineWidth_} - static_cast<std::int64_t>(s.size());
        if (s.front() == ' ') {
            if (d >= 0) {
                s.insert(0, blanksFor(d), ' ');
            } else {
                const auto cut = static_cast<std::size_t>(-d);
                if (s.find_first_not_of(' ') >= cut) s.erase(0, cut);
            }
        } else if (isSeparatorLine(s)) {
            if (d >= 0) {
                s.append(blanksFor(d), s.front());
            } else {
                s.resize(blanksFor(lineWidth_));
            }
        } else if (d >= 0 && s.starts_with("0.")) {
            s.insert(0, blanksFor(d), ' ');
        }
    }
    scroll();
    changed();
}

std::string PaperTape::text() const {
    const auto written = [](const std::string& s) { return s.find_first_not_of(' ') != s.npos; };
    const auto first = std::find_if(lines_.begin(), lines_.end(), written);
    const auto last = std::find_if(lines_.rbegin(), lines_.rend(), written).base();
    std::string text;
    for (auto it = first; it < last; ++it) {
        if (it != first) text += '\n';
        text.append(*it, 0, it->find_last_not_of(' ') + 1);  // npos + 1 == 0: a blank line
    }
    return text;
}

}  // namespace corvalo::deskcalc
