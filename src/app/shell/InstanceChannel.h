#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;

namespace kelvane {

// The name copies of this program meet under: the user's and the data folder's.
QString InstanceServerNameFor(const QString& dataFolder);

// The running copy's end: later starts hand it their files.
class TInstanceServer : public QObject {
    Q_OBJECT

  public:
    explicit TInstanceServer(QObject* parent = nullptr);

    // False when the name cannot be taken (another copy has it). A name left
    // behind by a copy that crashed is taken over.
    bool Listen(const QString& name);

  signals:
    // A later start's files (full paths; none when it named no file).
    void FilesHandedOver(const QStringList& files);

  private:
    QLocalServer* FServer = nullptr;
};

enum class THandOver { NoRunningCopy, HandedOver, Failed };

// A later start: hands the files to the copy listening under the name and
// waits for its answer. Blocks; used before the window exists. Failed means a
// copy is there but did not take them.
THandOver HandOverToRunningCopy(const QString& name, const QStringList& files, int timeoutMs = 5000);

}  // namespace kelvane
