#pragma once

#include <QDialog>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/ground/FileDefs.h"
#include "core/shell/UpdateCheck.h"

class QCheckBox;
class QNetworkAccessManager;
class QPlainTextEdit;
class QPushButton;

namespace kelvane {

class TPrompts;

struct TUpdaterSetup {
    std::filesystem::path ProgramRoot;
    std::filesystem::path CommonRoot;
    std::string ProgramFileName;
    std::string Server;  // "Updates Server": a host, or "https://host"
    std::string Folder;  // "Updates Folder"
    TLogCallback Log;
};

// "Kelvane Updater": checks the update server for newer files each time it is
// shown. The check itself is core's; this window fetches over HTTP and shows
// the report.
class TUpdaterForm : public QDialog {
    Q_OBJECT

  public:
    TUpdaterForm(TUpdaterSetup setup, TPrompts& prompts, QWidget* parent = nullptr);

    // One HTTP GET of a file of the update folder; stops as soon as more than
    // limit bytes arrive. Success only for status 200.
    TFetchResult GetWebPage(const std::string& fileName, std::uint64_t limit);
    void CheckForUpdates();

    // The counts of the last check; its pending count lives as long as the
    // window, which lives as long as the program.
    const TUpdateCounters& Counters() const { return FCounters; }
    bool Checking() const { return FChecking; }
    // Connect and read time-out of one fetch.
    void SetTimeout(int milliseconds) { FTimeout = milliseconds; }

    QPushButton* CheckButton() const { return FCheckButton; }
    QCheckBox* ShowDetailsBox() const { return FShowDetails; }
    QPlainTextEdit* ReportBox() const { return FReport; }
    QPushButton* CloseButton() const { return FCloseButton; }

  signals:
    // The user wants to restart to finish the update.
    void RestartRequested();

  public slots:
    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void Report(const std::string& line);
    void Log(const std::string& line);

    TUpdaterSetup FSetup;
    TPrompts& FPrompts;
    QNetworkAccessManager* FNetwork = nullptr;
    QPushButton* FCheckButton = nullptr;
    QCheckBox* FShowDetails = nullptr;
    QPlainTextEdit* FReport = nullptr;
    QPushButton* FCloseButton = nullptr;
    TUpdateCounters FCounters;
    bool FChecking = false;
    int FTimeout = 10000;
};

}  // namespace kelvane
