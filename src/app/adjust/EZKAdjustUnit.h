#pragma once

#include <QAbstractSpinBox>
#include <QWidget>
#include <chrono>
#include <memory>
#include <string>

#include "core/adjust/IgnitionAdjustment.h"
#include "core/ground/SettingsValues.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTimer;

namespace kelvane {

class TBusyCursor;
class TKelvaneDocument;
struct TWindowSettings;

// A number box with up and down arrows that step whole numbers within a
// range. The text is taken as typed (the window judges it), so it may hold
// anything; the arrows start from the number it holds.
class TUpDownEdit : public QAbstractSpinBox {
    Q_OBJECT

  public:
    TUpDownEdit(int minimum, int maximum, QWidget* parent = nullptr);

    void SetText(const QString& text);
    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& position) const override;

  protected:
    StepEnabled stepEnabled() const override;

  private:
    double Number() const;
    int FMinimum;
    int FMaximum;
};

// What the ignition adjustment window leaves for the settings when it closes.
struct TEZKAdjustValues {
    TWindowSize Placement;
    std::string MaxCyls;  // the box texts as typed
    std::string MaxRetard;
};

// "EZK Map Adjust": lowers the ignition advance of cells that knock, pass by
// pass. The passes are the core's TIgnitionAdjustment; the window runs one
// pass at a time from a timer, so the plot is redrawn and events run
// between passes, and "&Stop" can end them. While they run the window's other
// controls are off.
class TEZKAdjustForm : public QWidget {
    Q_OBJECT

  public:
    // settings: the "EZK Adjust" values it opens with.
    TEZKAdjustForm(TKelvaneDocument& document, const TWindowSettings& settings, QWidget* parent = nullptr);
    ~TEZKAdjustForm() override;

    bool PassesRunning() const { return FAdjustment.Running(); }
    // Ends the passes at once, between two passes, with the final line.
    void StopPasses();
    // The pause between two passes, in which the plot shows the last one.
    void SetPassWait(std::chrono::milliseconds wait) { FPassWait = wait; }
    std::chrono::milliseconds PassWait() const { return FPassWait; }
    TWindowSize Placement() const;

    QRadioButton* SelectedAreaButton() const { return FSelectedAreaButton; }
    QRadioButton* EntireMapButton() const { return FEntireMapButton; }
    TUpDownEdit* MaxCylsBox() const { return FMaxCylsBox; }
    TUpDownEdit* MaxRetardBox() const { return FMaxRetardBox; }
    QPlainTextEdit* StatusMemo() const { return FStatusMemo; }
    QPushButton* GoButton() const { return FGoButton; }
    QPushButton* StopButton() const { return FStopButton; }
    QPushButton* ResetButton() const { return FResetButton; }
    QPushButton* CopyButton() const { return FCopyButton; }
    QPushButton* CloseButton() const { return FCloseButton; }

  signals:
    void PassesStarted();
    void PassesEnded();
    void Closing(const kelvane::TEZKAdjustValues& values);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void CreateControls();
    void Apply(TChangeSet changes);
    // The status box: the adjustment's lines, and the line of a pass about to run.
    void ShowStatus(const std::string& pending = {});
    void SetControlsForPasses(bool running);

    void GoButtonClick();
    void StopButtonClick();
    void ResetButtonClick();
    void CopyButtonClick();
    // The timer's two steps: show "Starting pass ...", then run that pass.
    void AnnouncePass();
    void RunPass();
    void EndPasses();

    TKelvaneDocument& FDocument;
    TKelvaneState& FState;
    TIgnitionAdjustment FAdjustment;
    QTimer* FPassTimer = nullptr;
    enum class TStep { Announce, Run };
    TStep FNextStep = TStep::Announce;
    bool FStopWanted = false;
    std::chrono::milliseconds FPassWait{1000};
    std::unique_ptr<TBusyCursor> FBusy;

    QRadioButton* FSelectedAreaButton = nullptr;
    QRadioButton* FEntireMapButton = nullptr;
    TUpDownEdit* FMaxCylsBox = nullptr;
    TUpDownEdit* FMaxRetardBox = nullptr;
    QPlainTextEdit* FStatusMemo = nullptr;
    QPushButton* FGoButton = nullptr;
    QPushButton* FStopButton = nullptr;
    QPushButton* FResetButton = nullptr;
    QPushButton* FCopyButton = nullptr;
    QPushButton* FCloseButton = nullptr;
};

}  // namespace kelvane
