#pragma once

#include <QDialog>
#include <cstdint>
#include <span>

class QLabel;
class QPushButton;
class QWidget;

namespace corvalo::shell {

inline constexpr const char* kCopyrightLine =
    "Copyright \u00A9 2026 The Corvalo Authors.\n"
    "Sums, differences, products and quotients of numbers copied to the clipboard.";
inline constexpr const char* kAboutTitle = "About Corvalo Calculator";

// The About box: the picture at the top left, the client area exactly its
// size, version and copyright centred over it, OK centred two button heights
// above the bottom. A picture that does not decode leaves the box at the
// picture's intended 438 x 343, without the picture.
class AboutDialog final : public QDialog {
    Q_OBJECT
  public:
    static constexpr int kPictureWidth = 438;
    static constexpr int kPictureHeight = 343;

    // `jpeg` is the picture shown; the program's own by default.
    explicit AboutDialog(QWidget* owner = nullptr);
    AboutDialog(std::span<const std::uint8_t> jpeg, QWidget* owner);

    QLabel* picture_ = nullptr;
    QLabel* labelVersion = nullptr;
    QLabel* labelCopyright = nullptr;
    QPushButton* btnOK = nullptr;

    // Whether the picture decoded (false: the box shows without it).
    bool hasPicture() const { return hasPicture_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void loadPicture(std::span<const std::uint8_t> jpeg);
    void btnOKClick();

    bool hasPicture_ = false;
    bool centred_ = false;
};

// Help > About: the box owned by `owner`, shown modally, gone when it closes.
void showAboutBox(QWidget* owner);

}  // namespace corvalo::shell
