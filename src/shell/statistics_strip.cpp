#include "shell/statistics_strip.h"

#include <array>
#include <cstddef>

#include <QResizeEvent>

#include "platform/error.h"

namespace corvalo::shell {

namespace {

constexpr const char* kGap = "   ";
constexpr int kTextMargin = 4;  // pixels left and right of the text
constexpr int kFrameSpace = 6;  // the frame and a little air above and below the text

}  // namespace

std::string statisticsCaption(const clipcalc::CalcState& state,
                              const clipcalc::LineStatistics& figures) {
    if (figures.sumOverflow) return "Floating point overflow";  // as Addition reports it
    const std::array<std::string, 6> texts = clipcalc::statisticsTexts(state, figures);
    std::string caption;
    for (std::size_t i = 0; i < 5; ++i) {
        if (texts[i].empty()) continue;  // no mean, min or max without a number
        if (!caption.empty()) caption += kGap;
        caption += clipcalc::kStatisticsKeys[i];
        caption += ' ';
        caption += texts[i];
    }
    if (figures.ignored > 0) {
        caption += kGap + texts[5] +
                   (figures.ignored == 1 ? " text cell ignored" : " text cells ignored");
    }
    return caption;
}

StatisticsStrip::StatisticsStrip(const clipcalc::CalcState& state, const clipcalc::Grid& grid,
                                 QWidget* parent)
    : QLabel(parent), state_(state), grid_(grid) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    setTextFormat(Qt::PlainText);
    setContentsMargins(kTextMargin, 0, kTextMargin, 0);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setFixedHeight(fontMetrics().height() + kFrameSpace);
}

void StatisticsStrip::refresh() {
    try {
        caption_ = statisticsCaption(state_, clipcalc::lineStatistics(state_, grid_));
    } catch (const Error& e) {
        caption_ = e.what();
    }
    showCaption();
}

void StatisticsStrip::showFigures(const clipcalc::LineStatistics& figures) {
    caption_ = statisticsCaption(state_, figures);
    showCaption();
}

void StatisticsStrip::showCaption() {
    const QString whole =
        QString::fromLatin1(caption_.data(), static_cast<qsizetype>(caption_.size()));
    const QString shown = fontMetrics().elidedText(whole, Qt::ElideRight, contentsRect().width());
    setText(shown);
    setToolTip(shown == whole ? QString() : whole);
}

void StatisticsStrip::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    showCaption();
}

}  // namespace corvalo::shell
