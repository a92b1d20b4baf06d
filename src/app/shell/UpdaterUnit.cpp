#include "app/shell/UpdaterUnit.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include "app/document/Prompts.h"
#include "app/document/QtText.h"
#include "core/ground/ProgramVersion.h"
#include "core/shell/UpdateProtocol.h"

namespace kelvane {

namespace {

std::string ToStd(const QString& text) {
    return text.toUtf8().toStdString();
}

}  // namespace

TUpdaterForm::TUpdaterForm(TUpdaterSetup setup, TPrompts& prompts, QWidget* parent)
    : QDialog(parent), FSetup(std::move(setup)), FPrompts(prompts) {
    setObjectName(QStringLiteral("UpdaterForm"));
    setWindowTitle(QStringLiteral("Kelvane Updater"));
    FNetwork = new QNetworkAccessManager(this);

    FCheckButton = new QPushButton(QStringLiteral("Check for updates"), this);
    FCheckButton->setObjectName(QStringLiteral("UpdateButton"));
    FShowDetails = new QCheckBox(QStringLiteral("Show Details"), this);
    FShowDetails->setObjectName(QStringLiteral("ShowDetails"));
    FReport = new QPlainTextEdit(this);
    FReport->setObjectName(QStringLiteral("Memo1"));
    FReport->setReadOnly(true);
    FReport->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The counts of the details line up by blanks.
    FReport->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    FCloseButton = new QPushButton(QStringLiteral("Close"), this);
    FCloseButton->setObjectName(QStringLiteral("CloseButton"));

    auto* top = new QHBoxLayout;
    top->addWidget(FCheckButton);
    top->addSpacing(12);
    top->addWidget(FShowDetails);
    top->addStretch(1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(FCloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(FReport, 1);
    layout->addLayout(bottom);
    resize(560, 380);

    connect(FCheckButton, &QPushButton::clicked, this, &TUpdaterForm::CheckForUpdates);
    connect(FCloseButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TUpdaterForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Each showing runs one check, once the window is on the screen.
    FReport->clear();
    QTimer::singleShot(0, this, &TUpdaterForm::CheckForUpdates);
}

void TUpdaterForm::done(int result) {
    // A check under way finishes first: it may be halfway through a rename.
    if (FChecking) return;
    if (FCounters.Pending > 0 &&
        FPrompts.AskYesNo(QStringLiteral("Do you want to restart Kelvane to finish update?")))
        emit RestartRequested();
    QDialog::done(result);
}

void TUpdaterForm::Report(const std::string& line) {
    FReport->appendPlainText(FromStd(line));
    FReport->verticalScrollBar()->setValue(FReport->verticalScrollBar()->maximum());
}

void TUpdaterForm::Log(const std::string& line) {
    if (FSetup.Log) FSetup.Log(line);
}

void TUpdaterForm::CheckForUpdates() {
    if (FChecking) return;
    FChecking = true;
    FCheckButton->setEnabled(false);
    FCloseButton->setEnabled(false);

    TUpdateCheckSetup setup;
    setup.ProgramRoot = FSetup.ProgramRoot;
    setup.CommonRoot = FSetup.CommonRoot;
    setup.ProgramFileName = FSetup.ProgramFileName;
    if (TrimText(FSetup.Server).empty())
        setup.ServerProblem = "No update server is configured";
    else if (!UpdateFileAddress(FSetup.Server, FSetup.Folder, FileListName))
        setup.ServerProblem = "Update server not supported: " + FSetup.Server;
    setup.ShowDetails = FShowDetails->isChecked();
    setup.Report = [this](const std::string& line) { Report(line); };
    setup.Log = FSetup.Log;
    FCounters = RunUpdateCheck(
        setup, [this](const std::string& name, std::uint64_t limit) { return GetWebPage(name, limit); });

    FChecking = false;
    FCheckButton->setEnabled(true);
    FCloseButton->setEnabled(true);
}

TFetchResult TUpdaterForm::GetWebPage(const std::string& fileName, std::uint64_t limit) {
    TFetchResult result;
    const std::optional<std::string> address = UpdateFileAddress(FSetup.Server, FSetup.Folder, fileName);
    if (!address) return result;
    Log("GetWebPage: Fetching " + *address);
    limit = std::min(limit, MaxUpdateFileBytes);

    QNetworkRequest request(QUrl::fromEncoded(QByteArray::fromStdString(*address), QUrl::StrictMode));
    // Redirects are followed, but never from HTTPS down to plain HTTP.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(10);
    request.setTransferTimeout(FTimeout);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      QStringLiteral("Kelvane/%1").arg(FromStd(ProgramVersionText())));
    QNetworkReply* reply = FNetwork->get(request);

    QByteArray body;
    bool tooLarge = false;
    const auto take = [&] {
        if (tooLarge) return;
        // Only the body of a success counts; an error page is dropped.
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (status.isValid() && status.toInt() != 200) {
            reply->readAll();
            return;
        }
        // Never more than one byte past the limit is kept.
        const qint64 room = static_cast<qint64>(limit) + 1 - body.size();
        body += reply->read(std::max<qint64>(room, 0));
        if (static_cast<std::uint64_t>(body.size()) > limit) {
            tooLarge = true;
            // Aborted once this signal is done: aborting inside it upsets the reply.
            QMetaObject::invokeMethod(reply, &QNetworkReply::abort, Qt::QueuedConnection);
        }
    };
    connect(reply, &QNetworkReply::redirected, this, [this](const QUrl& url) {
        const std::string target = ToStd(url.toString());
        Report("(redirected to " + target + ")");
        Log("Updater: Redirected to " + target);
    });
    connect(reply, &QIODevice::readyRead, this, take);
    QEventLoop loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
    take();

    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QString errorText = reply->errorString();
    const QNetworkReply::NetworkError error = reply->error();
    reply->disconnect(this);
    reply->deleteLater();

    if (tooLarge) {
        const std::string line = "Fetch stopped, more than " + std::to_string(limit) + " bytes";
        Report(line);
        Log("GetWebPage: " + line);
        result.Status = TFetchStatus::TooLarge;
        return result;
    }
    if (!status.isValid()) {
        Report("Error, could not connect to server");
        Report(" (Check internet connection, and firewall software settings)");
        Report(" (" + ToStd(errorText) + ")");
        Log("GetWebPage Exception: " + ToStd(errorText));
        return result;
    }
    if (status.toInt() != 200 || error != QNetworkReply::NoError) {
        const std::string line = "Fetch failed, error: " + std::to_string(status.toInt());
        Report(line);
        Log("GetWebPage: " + line);
        return result;
    }
    const std::string complete = "Fetch complete, " + std::to_string(body.size()) + " bytes";
    if (FShowDetails->isChecked()) Report(complete);
    Log("GetWebPage: " + complete);
    result.Status = TFetchStatus::Ok;
    result.Bytes = body.toStdString();
    return result;
}

}  // namespace kelvane
