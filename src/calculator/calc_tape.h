#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace corvalo::calculator {

// The paper tape's lines: numbers right-aligned with their mark in the last column,
// item counts, totals and separator lines, at the bottom of a strip of blank lines.
// With W = 12, the total 8 reads "         8 *".
class TOvcCalcTape {
  public:
    static constexpr int kBlankLines = 30;
    static constexpr int kMarkWidth = 2;  // a blank and the mark

    // The most lines kept (never fewer than the blank strip); the oldest go first.
    std::int32_t MaxPaperCount = 9999;

    void AddNumberLine(std::string_view number, std::string_view mark);
    void AddTextLine(std::string_view text);  // right-aligned, no mark: the item count
    void AddSeparatorLine(char separator);
    void ClearTape();  // every line blank, then re-justified; the count stays
    void Fill();       // the 30 blank lines, once
    void Rejustify();  // fit the lines to a new line width; only while the tape is shown

    const std::vector<std::string>& Lines() const { return lines_; }
    bool Filled() const { return filled_; }
    std::int32_t LineCount() const { return lineCount_; }
    std::int32_t TopLine() const { return topLine_; }  // first line in view

    std::int32_t LineWidth() const { return lineWidth_; }
    void SetLineWidth(std::int32_t width) { lineWidth_ = width; }
    bool Shown() const { return shown_; }
    void SetShown(bool shown) { shown_ = shown; }
    // Lines that fit in the list: its client height over the text height.
    void SetViewRows(std::int32_t rows) { viewRows_ = rows; }

  private:
    void append(std::string line);
    void scroll();

    std::vector<std::string> lines_;
    std::int32_t lineWidth_ = 0;
    std::int32_t lineCount_ = 0;
    std::int32_t topLine_ = 0;
    std::int32_t viewRows_ = 3;
    bool filled_ = false;
    bool shown_ = false;
};

}  // namespace corvalo::calculator
