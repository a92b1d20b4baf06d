#pragma once

#include <QWidget>
#include <chrono>

class QCheckBox;
class QLabel;
class QTimer;

namespace kelvane {

class TIniFile2;

// The borderless stay-on-top start-up panel: program name, version and a box
// to stop showing it. Closes on a double click, any key, or by itself three
// seconds after it was shown; a ticked box writes "Startup Window" false.
// It gives way as soon as a modal window opens, which it would cover.
class TStartupForm : public QWidget {
    Q_OBJECT

  public:
    TStartupForm(const QString& programName, const QString& versionText, TIniFile2& mainSettings,
                 QWidget* parent = nullptr);

    // Shows it centred on the owner (when given), kept inside the screen.
    void ShowCentredOn(QWidget* owner);
    // The one-second tick: closes the window once its time is up.
    void Tick(std::chrono::steady_clock::time_point now);

    QLabel* NameLabel() const { return FNameLabel; }
    QLabel* VersionLabel() const { return FVersionLabel; }
    QCheckBox* QuitBox() const { return FQuitBox; }

  signals:
    // The ticked box could not be stored; the text names the file and why.
    void WriteFailed(const QString& text);

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    TIniFile2& FMainSettings;
    QLabel* FNameLabel = nullptr;
    QLabel* FVersionLabel = nullptr;
    QCheckBox* FQuitBox = nullptr;
    QTimer* FTimer = nullptr;
    std::chrono::steady_clock::time_point FShownAt{};
};

}  // namespace kelvane
