#include "platform/qt/help_viewer.h"

#include <QDesktopServices>
#include <QFile>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/regular_file.h"

namespace corvalo::platform {

namespace {
constexpr int kWidth = 640;
constexpr int kHeight = 540;
constexpr qint64 kMaxHelpBytes = 8 * 1024 * 1024;  // a help file, not a library
}  // namespace

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("helpViewer"));
    setWindowTitle(QStringLiteral("Corvalo Calculator Help"));
    // Help left open must not keep the program running after its window closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    btnContents = new QPushButton(QStringLiteral("&Contents"), this);
    btnBack = new QPushButton(QStringLiteral("&Back"), this);
    btnForward = new QPushButton(QStringLiteral("&Forward"), this);
    browser_ = new QTextBrowser(this);
    browser_->setOpenLinks(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnContents);
    buttons->addWidget(btnBack);
    buttons->addWidget(btnForward);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(buttons);
    layout->addWidget(browser_, 1);
    resize(kWidth, kHeight);

    connect(btnContents, &QPushButton::clicked, this, [this] { showFirstTopic(); });
    connect(btnBack, &QPushButton::clicked, this, [this] {
        if (position_ > 0) showTopicAt(history_[--position_], false);
    });
    connect(btnForward, &QPushButton::clicked, this, [this] {
        if (position_ + 1 < history_.size()) showTopicAt(history_[++position_], false);
    });
    connect(browser_, &QTextBrowser::anchorClicked, this,
            [this](const QUrl& url) { linkClicked(url); });
    updateButtons();
}

bool HelpViewer::load(const QString& file) {
    // Never blocks: a pipe put in the file's place after the caller looked is refused.
    std::string bytes;
    if (readRegularFile(QFile::encodeName(file).toStdString(), static_cast<size_t>(kMaxHelpBytes),
                        bytes) != FileRead::Ok) {
        return false;
    }
    HelpBook book = parseHelpBook(bytes);
    if (book.topics.empty()) return false;
    book_ = std::move(book);
    file_ = file;
    history_.clear();
    position_ = 0;
    updateButtons();
    return true;
}

bool HelpViewer::showTopic(const QString& name) {
    const std::string wanted = name.toStdString();
    const HelpTopic* topic = book_.find(wanted);
    if (topic == nullptr) return false;
    showTopicAt(static_cast<size_t>(topic - book_.topics.data()), true);
    return true;
}

bool HelpViewer::showFirstTopic() {
    if (book_.topics.empty()) return false;
    showTopicAt(0, true);
    return true;
}

QString HelpViewer::currentTopic() const {
    if (history_.empty()) return {};
    return QString::fromStdString(book_.topics[history_[position_]].name);
}

void HelpViewer::present() {
    // A window manager may place a re-shown window anew; the user's place wins.
    if (!lastGeometry_.isEmpty()) restoreGeometry(lastGeometry_);
    show();
    raise();
    activateWindow();
}

void HelpViewer::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel)) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void HelpViewer::hideEvent(QHideEvent* event) {
    // Only the window's own hiding counts; minimising keeps the old place.
    if (!event->spontaneous()) lastGeometry_ = saveGeometry();
    QWidget::hideEvent(event);
}

void HelpViewer::showTopicAt(size_t index, bool record) {
    if (record) {
        if (!history_.empty()) history_.resize(position_ + 1);  // drop the forward trail
        if (history_.empty() || history_.back() != index) history_.push_back(index);
        position_ = history_.size() - 1;
    }
    const HelpTopic& topic = book_.topics[index];
    browser_->document()->setDefaultStyleSheet(QString::fromStdString(book_.style));
    browser_->setHtml(QString::fromStdString(topic.html));
    setWindowTitle(QString::fromStdString(topic.title) + QStringLiteral(" - Corvalo Help"));
    updateButtons();
}

void HelpViewer::linkClicked(const QUrl& url) {
    if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")) {
        QDesktopServices::openUrl(url);
        return;
    }
    if (url.hasFragment()) showTopic(url.fragment());
}

void HelpViewer::updateButtons() {
    btnBack->setEnabled(position_ > 0);
    btnForward->setEnabled(position_ + 1 < history_.size());
    btnContents->setEnabled(!book_.topics.empty());
}

QtHelpEngine::QtHelpEngine() = default;
QtHelpEngine::~QtHelpEngine() = default;

bool QtHelpEngine::ensureLoaded(const std::string& file) {
    if (!viewer_) viewer_ = std::make_unique<HelpViewer>();
    const QString name = QString::fromStdString(file);
    // Read afresh when asked again: the file may have been replaced meanwhile.
    if (!viewer_->load(name)) return false;
    viewer_->present();
    return true;
}

bool QtHelpEngine::showContents(const std::string& file) {
    return ensureLoaded(file) && viewer_->showFirstTopic();
}

bool QtHelpEngine::showTopic(const std::string& file, const std::string& topic) {
    if (!viewer_ || viewer_->file() != QString::fromStdString(file)) {
        if (!ensureLoaded(file)) return false;
    }
    return viewer_->showTopic(QString::fromStdString(topic));
}

}  // namespace corvalo::platform
