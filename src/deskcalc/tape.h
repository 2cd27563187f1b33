#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace corvalo::deskcalc {

// The paper tape's lines: numbers right-aligned with their mark in the last column,
// item counts, totals and separator lines, at the bottom of a strip of blank lines.
// With W = 12, the total 8 reads "         8 *".
class PaperTape {
  public:
    static constexpr int kBlankLines = 30;
    static constexpr int kMarkWidth = 2;  // a blank and the mark

    // The most lines kept (never fewer than the blank strip); the oldest go first.
    std::int32_t maxPaperCount = 9999;
    // Runs after every change of the lines, so that a view can follow them.
    std::function<void()> onLinesChanged;

    void addNumberLine(std::string_view number, std::string_view mark);
    void addTextLine(std::string_view text);  // right-aligned, no mark: the item count
    void addSeparatorLine(char separator);
    void clearTape();  // every line blank, then re-justified; the count stays
    void fill();       // the 30 blank lines, once
    void rejustify();  // fit the lines to a new line width; only while the tape is shown

    const std::vector<std::string>& lines() const { return lines_; }
    // The written lines joined with '\n', 8-bit, trailing blanks of each line cut and
    // the blank strip around them left out: an unused tape gives "".
    std::string text() const;
    bool filled() const { return filled_; }
    std::int32_t lineCount() const { return lineCount_; }
    std::int32_t topLine() const { return topLine_; }  // first line in view

    std::int32_t lineWidth() const { return lineWidth_; }
    void setLineWidth(std::int32_t width) { lineWidth_ = width; }
    bool shown() const { return shown_; }
    void setShown(bool shown) { shown_ = shown; }
    // Lines that fit in the list: its client height over the text height.
    void setViewRows(std::int32_t rows) { viewRows_ = rows; }

  private:
    void append(std::string line);
    void scroll();
    void changed() const;

    std::vector<std::string> lines_;
    std::int32_t lineWidth_ = 0;
    std::int32_t lineCount_ = 0;
    std::int32_t topLine_ = 0;
    std::int32_t viewRows_ = 3;
    bool filled_ = false;
    bool shown_ = false;
};

}  // namespace corvalo::deskcalc
