#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

#include "platform/help_engine.h"
#include "platform/help_topics.h"

class QHideEvent;
class QKeyEvent;
class QPushButton;
class QTextBrowser;
class QUrl;

namespace corvalo::platform {

// The help window: one topic at a time, links between topics, Contents, Back
// and Forward, as the old help engines did. Esc closes it; shown again in the
// same run it comes back where the user left it, at the size they gave it.
class HelpViewer final : public QWidget {
    Q_OBJECT
  public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // Reads and splits a help file (UTF-8 HTML); false when it cannot be read
    // or holds no topic. The topic shown stays until the next showTopic.
    bool load(const QString& file);
    const QString& file() const { return file_; }
    // Shows a topic by name (case-insensitive); false when there is none.
    bool showTopic(const QString& name);
    // The first topic of the file.
    bool showFirstTopic();
    QString currentTopic() const;
    // Shows the window in front, at the place and size it had when last hidden.
    void present();

    QTextBrowser* browser() const { return browser_; }
    QPushButton* btnContents = nullptr;
    QPushButton* btnBack = nullptr;
    QPushButton* btnForward = nullptr;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void showTopicAt(size_t index, bool record);
    void linkClicked(const QUrl& url);
    void updateButtons();

    QString file_;
    HelpBook book_;
    QTextBrowser* browser_ = nullptr;
    std::vector<size_t> history_;  // topic indexes visited
    size_t position_ = 0;          // where in history_ the shown topic is
    QByteArray lastGeometry_;      // place and size when last hidden; empty before
};

// The help engine over that window: one window, made on first use and reused.
class QtHelpEngine final : public HelpEngine {
  public:
    QtHelpEngine();
    ~QtHelpEngine() override;
    bool showContents(const std::string& file) override;
    bool showTopic(const std::string& file, const std::string& topic) override;
    HelpViewer* viewer() const { return viewer_.get(); }

  private:
    bool ensureLoaded(const std::string& file);
    std::unique_ptr<HelpViewer> viewer_;
};

}  // namespace corvalo::platform
