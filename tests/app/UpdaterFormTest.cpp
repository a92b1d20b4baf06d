#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "FakePrompts.h"
#include "TestFormOptions.h"
#include "app/shell/UpdaterUnit.h"
#include "core/ground/FileDefs.h"
#include "core/ground/ProgramFolders.h"
#include "core/shell/StartupUpdates.h"
#include "core/shell/UpdateCheck.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

// An HTTP server on loopback that answers each path from a script. A path
// without an answer gets 404; every request path is recorded.
class TScriptedHttpServer : public QObject {
  public:
    struct TAnswer {
        int Status = 200;
        std::string Body;
        std::string Location;             // for a redirect
        std::uint64_t ContentLength = 0;  // announced length when above the body's
        bool KeepOpen = false;            // the rest of the body never comes
    };
    static TAnswer Answer(int status, std::string body, std::string location = {}) {
        TAnswer answer;
        answer.Status = status;
        answer.Body = std::move(body);
        answer.Location = std::move(location);
        return answer;
    }

    TScriptedHttpServer() {
        FServer.listen(QHostAddress::LocalHost, 0);
        connect(&FServer, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = FServer.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { Serve(socket); });
            }
        });
    }

    std::string Host() const { return "127.0.0.1:" + std::to_string(FServer.serverPort()); }
    std::string Base() const { return "http://" + Host(); }

    std::map<std::string, TAnswer> Answers;  // by path, e.g. "/updates/filelist.txt"
    std::vector<std::string> Requests;

  private:
    void Serve(QTcpSocket* socket) {
        QByteArray& buffer = FBuffers[socket];
        buffer += socket->readAll();
        // Anything but a plain request (a TLS greeting) is turned away at once.
        if (!buffer.isEmpty() && !(buffer[0] >= 'A' && buffer[0] <= 'Z')) {
            Requests.push_back("<not HTTP>");
            buffer.clear();
            socket->abort();
            return;
        }
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0) return;
        const QList<QByteArray> requestLine = buffer.left(buffer.indexOf("\r\n")).split(' ');
        buffer.clear();
        const std::string path = requestLine.size() > 1 ? requestLine[1].toStdString() : std::string();
        Requests.push_back(path);
        const auto found = Answers.find(path);
        const TAnswer answer = found == Answers.end() ? Answer(404, "not here") : found->second;
        std::string reply = "HTTP/1.1 " + std::to_string(answer.Status) + " Scripted\r\n";
        if (!answer.Location.empty()) reply += "Location: " + answer.Location + "\r\n";
        reply += "Content-Length: " +
                 std::to_string(std::max<std::uint64_t>(answer.ContentLength, answer.Body.size())) + "\r\n";
        if (!answer.KeepOpen) reply += "Connection: close\r\n";
        reply += "\r\n" + answer.Body;
        socket->write(reply.data(), static_cast<qint64>(reply.size()));
        if (!answer.KeepOpen) socket->disconnectFromHost();
    }

    QTcpServer FServer;
    std::map<QTcpSocket*, QByteArray> FBuffers;
};

// The whole tree under a folder: each path with its contents or link target,
// links not followed.
std::map<std::string, std::string> FolderTree(const fs::path& root) {
    std::map<std::string, std::string> tree;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = fs::relative(entry.path(), root).string();
        if (entry.is_symlink())
            tree[name] = "-> " + fs::read_symlink(entry.path()).string();
        else if (entry.is_regular_file())
            tree[name] = ReadText(entry.path());
        else
            tree[name] = "<folder>";
    }
    return tree;
}

// The program's "Kelvane" file carries its version the way the build puts it in.
std::string ProgramFileBytes(const std::string& version) {
    return "\x7F"
           "ELF" +
           std::string("Kelvane") + "FileVersion=" + version + '\0' + "code";
}

class UpdaterFormTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::create_directories(Program);
        fs::create_directories(Common);
        fs::create_directories(Outside);
    }

    TUpdaterForm& Form() {
        if (!FForm) {
            TUpdaterSetup setup;
            setup.ProgramRoot = Program;
            setup.CommonRoot = Common;
            setup.ProgramFileName = "kelvane";
            setup.Server = Server;
            setup.Folder = "updates";
            setup.Log = [this](const std::string& line) { Log.push_back(line); };
            FForm = std::make_unique<TUpdaterForm>(setup, Prompts);
            FForm->ShowDetailsBox()->setChecked(true);
        }
        return *FForm;
    }

    void List(const std::string& text) {
        Http.Answers["/updates/filelist.txt"] = TScriptedHttpServer::Answer(200, text);
    }
    void Serve(const std::string& name, const std::string& body) {
        Http.Answers["/updates/" + name] = TScriptedHttpServer::Answer(200, body);
    }

    QStringList Check() {
        Form().ReportBox()->clear();
        Form().CheckForUpdates();
        return Form().ReportBox()->toPlainText().split(QLatin1Char('\n'));
    }

    TTempFolder Temp;
    fs::path Program = Temp.Path() / "program";
    fs::path Common = Temp.Path() / "common";
    fs::path Outside = Temp.Path() / "outside";
    TScriptedHttpServer Http;
    std::string Server = Http.Host();
    TFakePrompts Prompts;
    std::vector<std::string> Log;
    std::unique_ptr<TUpdaterForm> FForm;
};

TEST_F(UpdaterFormTest, SameVersionSkippedNewerFetchedAndInstalledWithBackup) {
    WriteText(Program / "Notes.txt", "notes");
    ASSERT_TRUE(SetFileDateVersion(Program / "Notes.txt", "2024/03/05 10:20"));
    WriteText(Program / "KV Manual.pdf", "old manual");
    ASSERT_TRUE(SetFileDateVersion(Program / "KV Manual.pdf", "2024/03/05 10:20"));
    List("Notes.txt;2024/03/05 10:20;5\r\nKV Manual.pdf;2024/03/06 08:00;10\r\n");
    Serve("KV%20Manual.pdf", "new manual");

    const QStringList report = Check();
    EXPECT_TRUE(report.contains("File skipped, same version: Notes.txt 2024/03/05 10:20"))
        << report.join("\n").toStdString();
    EXPECT_TRUE(report.contains("Fetching KV Manual.pdf"));
    EXPECT_TRUE(report.contains("Fetch complete, 10 bytes"));
    EXPECT_TRUE(report.contains("File updated ok: KV Manual.pdf"));
    EXPECT_EQ(report.last(), "Check complete, 1 file updated");
    EXPECT_EQ(Form().Counters(), (TUpdateCounters{2, 1, 1, 0, 0}));
    EXPECT_EQ(ReadText(Program / "KV Manual.pdf"), "new manual");
    EXPECT_EQ(FileVersionText(Program / "KV Manual.pdf"), "2024/03/06 08:00");
    EXPECT_EQ(ReadText(Program / "KV Manual(ver 20240305 1020).pdf.sav"), "old manual");
    EXPECT_EQ(ReadText(Program / "Notes.txt"), "notes");
    EXPECT_FALSE(HasPendingUpdates(Common));
    EXPECT_EQ(Http.Requests, (std::vector<std::string>{"/updates/filelist.txt", "/updates/KV%20Manual.pdf"}));
    EXPECT_NE(
        std::find(Log.begin(), Log.end(), "GetWebPage: Fetching " + Http.Base() + "/updates/filelist.txt"),
        Log.end());

    // Checked again, everything is current.
    EXPECT_EQ(Check().last(), "Check complete, all files are current");

    if (const QByteArray folder = qgetenv("KELVANE_SCREENSHOT_DIR"); !folder.isEmpty()) {
        // Shown, the window checks by itself: one file is new by then.
        List(
            "Notes.txt;2024/03/05 10:20;5\r\nKV Manual.pdf;2024/03/06 08:00;10\r\nNew Notes.txt;2024/03/07 "
            "09:00;9\r\n");
        Serve("New%20Notes.txt", "new notes");
        Form().show();
        QCoreApplication::processEvents();
        EXPECT_TRUE(Form().ReportBox()->toPlainText().contains("File updated ok: New Notes.txt"));
        Form().grab().save(QDir(QString::fromLocal8Bit(folder)).filePath(QStringLiteral("updater.png")));
    }
}

TEST_F(UpdaterFormTest, SizeAndVersionMismatchesAreDeleted) {
    List("Short.txt;2024/03/06 08:00;10\nkelvane;2.0.007;" +
         std::to_string(ProgramFileBytes("2.0.0.6").size()) + "\n");
    Serve("Short.txt", "12345");
    Serve("kelvane", ProgramFileBytes("2.0.0.6"));

    const QStringList report = Check();
    EXPECT_TRUE(report.contains("File size mismatch: Short.txt(5/10)")) << report.join("\n").toStdString();
    EXPECT_TRUE(report.contains("File version mismatch: kelvane(2.0.006/2.0.007)"));
    EXPECT_EQ(Form().Counters().Errors, 2);
    EXPECT_FALSE(fs::exists(Common / "Short.txt.updated"));
    EXPECT_FALSE(fs::exists(Common / "kelvane.updated"));
    EXPECT_FALSE(fs::exists(Program / "Short.txt"));
}

TEST_F(UpdaterFormTest, MissingFilesAndAServerThatIsNotThereAreReported) {
    List("Gone.txt;2024/03/06 08:00;3\n");
    QStringList report = Check();
    EXPECT_TRUE(report.contains("Fetch failed, error: 404")) << report.join("\n").toStdString();
    EXPECT_TRUE(report.contains("File fetch failed: Gone.txt"));
    EXPECT_EQ(Form().Counters().Errors, 1);

    // A port nobody listens on.
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    Server = "127.0.0.1:" + std::to_string(closed.serverPort());
    closed.close();
    FForm.reset();
    report = Check();
    EXPECT_TRUE(report.contains("Error, could not connect to server")) << report.join("\n").toStdString();
    EXPECT_TRUE(report.contains(" (Check internet connection, and firewall software settings)"));
    EXPECT_EQ(report.last(), "Check complete, all files are current");
    EXPECT_NE(
        std::find_if(Log.begin(), Log.end(),
                     [](const std::string& line) { return line.starts_with("GetWebPage Exception: "); }),
        Log.end());
}

TEST_F(UpdaterFormTest, ARedirectIsFollowedAndReported) {
    Http.Answers["/updates/filelist.txt"] =
        TScriptedHttpServer::Answer(302, "", Http.Base() + "/moved/filelist.txt");
    Http.Answers["/moved/filelist.txt"] = TScriptedHttpServer::Answer(200, "New.txt;2024/03/06 08:00;3\n");
    Serve("New.txt", "new");

    const QStringList report = Check();
    EXPECT_TRUE(
        report.contains(QString::fromStdString("(redirected to " + Http.Base() + "/moved/filelist.txt)")))
        << report.join("\n").toStdString();
    EXPECT_NE(
        std::find(Log.begin(), Log.end(), "Updater: Redirected to " + Http.Base() + "/moved/filelist.txt"),
        Log.end());
    EXPECT_EQ(ReadText(Program / "New.txt"), "new");
}

TEST_F(UpdaterFormTest, ADownloadIsCutOffPastTheListedSize) {
    List("Big.bin;2024/03/06 08:00;1000\n");
    // Announces 50 MB, sends a little more than listed, and then holds the
    // line: only stopping at the listed size ends this fetch before the time-out.
    TScriptedHttpServer::TAnswer big = TScriptedHttpServer::Answer(200, std::string(1500, 'x'));
    big.ContentLength = 50'000'000;
    big.KeepOpen = true;
    Http.Answers["/updates/Big.bin"] = big;
    Form().SetTimeout(60000);

    const QStringList report = Check();
    EXPECT_TRUE(report.contains("Fetch stopped, more than 1000 bytes")) << report.join("\n").toStdString();
    EXPECT_TRUE(report.contains("File fetch failed: Big.bin"));
    EXPECT_EQ(Form().Counters().Errors, 1);
    EXPECT_FALSE(fs::exists(Common / "Big.bin.updated"));
    EXPECT_FALSE(fs::exists(Program / "Big.bin"));
}

TEST_F(UpdaterFormTest, ServerSettingNamesTheScheme) {
    Server = "";
    EXPECT_TRUE(Check().contains("No update server is configured"));
    EXPECT_TRUE(Http.Requests.empty());

    FForm.reset();
    Server = "https://" + Http.Host();
    Form().SetTimeout(5000);
    Check();
    EXPECT_NE(std::find(Log.begin(), Log.end(),
                        "GetWebPage: Fetching https://" + Http.Host() + "/updates/filelist.txt"),
              Log.end());
    // Whatever reached the plain server was no plain HTTP request.
    for (const std::string& request : Http.Requests) EXPECT_NE(request.rfind("/updates", 0), 0u) << request;
}

TEST_F(UpdaterFormTest, AListedVersionOlderThanInstalledIsNeverInstalled) {
    WriteText(Program / "Data.txt", "current");
    ASSERT_TRUE(SetFileDateVersion(Program / "Data.txt", "2024/03/06 08:00"));
    List("Data.txt;2024/03/01 08:00;3\n");
    Serve("Data.txt", "old");
    const QStringList report = Check();
    EXPECT_TRUE(report.contains(
        "File skipped, current version is newer: Data.txt 2024/03/06 08:00 vs. 2024/03/01 08:00"))
        << report.join("\n").toStdString();
    EXPECT_EQ(ReadText(Program / "Data.txt"), "current");
    EXPECT_EQ(Http.Requests.size(), 1u);
}

TEST_F(UpdaterFormTest, PendingUpdatesAskForARestartOnClosing) {
    // The program file waits for the next start; a file whose backup name is
    // taken waits too.
    const std::string program = ProgramFileBytes("9.0.0.1");
    WriteText(Program / "Data.txt", "installed");
    WriteText(Program / UpdateBackupName("Data.txt", FileVersionText(Program / "Data.txt")), "kept");
    List("kelvane;9.0.001;" + std::to_string(program.size()) + "\nData.txt;2200/01/01 00:00;3\n");
    Serve("kelvane", program);
    Serve("Data.txt", "new");

    const QStringList report = Check();
    EXPECT_TRUE(report.contains("Program file update, will copy on restart: kelvane"))
        << report.join("\n").toStdString();
    EXPECT_TRUE(report.contains("Backup copy failed, file in use: Data.txt"));
    EXPECT_EQ(report.last(), "Check complete, 2 updates pending");
    EXPECT_EQ(ReadText(Program / "Data.txt"), "installed");

    QSignalSpy restart(&Form(), &TUpdaterForm::RestartRequested);
    Prompts.Then(TFakeAnswer::No()).Then(TFakeAnswer::Yes());
    Form().CloseButton()->click();
    EXPECT_EQ(restart.count(), 0);
    Form().CloseButton()->click();
    EXPECT_EQ(restart.count(), 1);
    ASSERT_EQ(Prompts.Calls.size(), 2u);
    EXPECT_EQ(Prompts.Calls[0].Text, "Do you want to restart Kelvane to finish update?");
}

// Lists a server might send to break out of the program folder or to
// exhaust the machine. None may write anything anywhere.
TEST_F(UpdaterFormTest, HostileListsWriteNothing) {
    fs::create_directories(Program / "docs");
    WriteText(Outside / "target.txt", "outside");
    fs::create_directory_symlink(Outside, Program / "out");
    fs::create_directory_symlink(Outside, Program / "docs" / "link");
    fs::create_symlink(Outside / "target.txt", Program / "evil.txt");
    fs::create_symlink(Outside / "missing.txt", Program / "dangling.txt");
    fs::create_directory_symlink(Outside, Common / "cout");
    std::string overlong;
    while (overlong.size() <= 70 * 1024)
        overlong += "file" + std::to_string(overlong.size()) + ".txt;2024/03/06 08:00;4\n";

    const struct {
        std::string List;
        int Errors;
    } cases[] = {
        {"/etc/passwd;2200/01/01 00:00;4", 1},
        {"/tmp/evil.txt;2200/01/01 00:00;4", 1},
        {"\\evil.txt;2200/01/01 00:00;4", 1},
        {"\\\\server\\share\\evil.txt;2200/01/01 00:00;4", 1},
        {"C:\\Windows\\evil.dll;2200/01/01 00:00;4", 1},
        {"c:evil.txt;2200/01/01 00:00;4", 1},
        {"D:/evil.txt;2200/01/01 00:00;4", 1},
        {"evil:stream.txt;2200/01/01 00:00;4", 1},
        {"evil.txt::$DATA;2200/01/01 00:00;4", 1},
        {"ev\0il.txt;2200/01/01 00:00;4"s, 1},
        {"evil.txt\0;2200/01/01 00:00;4"s, 1},
        {"../evil.txt;2200/01/01 00:00;4", 1},
        {"../../evil.txt;2200/01/01 00:00;4", 1},
        {"docs/../../evil.txt;2200/01/01 00:00;4", 1},
        {"docs\\..\\..\\evil.txt;2200/01/01 00:00;4", 1},
        {"..\\outside\\target.txt;2200/01/01 00:00;4", 1},
        {"..;2200/01/01 00:00;4", 1},
        {"./../evil.txt;2200/01/01 00:00;4", 1},
        {"docs/./x.txt;2200/01/01 00:00;4", 1},
        {"docs//x.txt;2200/01/01 00:00;4", 1},
        {"docs/;2200/01/01 00:00;4", 1},
        {"out/evil.txt;2200/01/01 00:00;4", 1},
        {"docs/link/evil.txt;2200/01/01 00:00;4", 1},
        {"evil.txt;2200/01/01 00:00;4", 1},
        {"dangling.txt;2200/01/01 00:00;4", 1},
        {"cout/evil.txt;2200/01/01 00:00;4", 1},
        {"a|b.txt;2200/01/01 00:00;4", 1},
        {"a\tb.txt;2200/01/01 00:00;4", 1},
        {"big.txt;2200/01/01 00:00;67108865", 1},
        {"big.txt;2200/01/01 00:00;18446744073709551615", 1},
        {"big.txt;2200/01/01 00:00;99999999999999999999999", 0},
        {overlong, 0},
        {"\xff\xfe\x01\x02garbage\n\x7f\x80;;\n;;;\n,,,\n", 0},
        {"a.txt;;4\n;2200/01/01 00:00;4\na.txt;2200/01/01 00:00\na.txt", 0},
        {"a.txt;2200/01/01 00:00;0\na.txt;2200/01/01 00:00;-4\na.txt;2200/01/01 00:00;4x", 0},
        {"a.txt;garbage;4", 1},
        {"a.txt;2024/02/30 10:00;4", 1},
        {"a.txt;1.2.99999999999999999999;4", 1},
        {"a.txt;99999999999.0;4", 1},
        {"../evil.txt;1.0;4\n/etc/passwd;1.0;4\nout/x;1.0;4\nC:x;1.0;4", 4},
    };
    // Whatever is asked for comes back, so that only refusing keeps it out.
    for (const std::string name : {"evil.txt", "a.txt", "big.txt", "out/evil.txt", "cout/evil.txt"})
        Serve(name, "EVIL");

    const std::map<std::string, std::string> before = FolderTree(Temp.Path());
    int index = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE("case " + std::to_string(index++));
        Http.Requests.clear();
        List(c.List);
        const QStringList report = Check();
        EXPECT_EQ(Form().Counters().Errors, c.Errors) << report.join("\n").toStdString();
        EXPECT_EQ(Form().Counters().Updated, 0);
        EXPECT_EQ(Http.Requests, std::vector<std::string>{"/updates/filelist.txt"});
        EXPECT_EQ(FolderTree(Temp.Path()), before);
    }
    EXPECT_EQ(index, 40);
}

TEST(MainFormUpdatesTest, CheckForUpdatesItemOpensTheUpdaterWithoutAServer) {
    TTempFolder folder;
    // No server: the check must not reach out of the machine.
    const fs::path common = folder.Path() / "common";
    fs::create_directories(common);
    WriteText(common / "Kelvane.ini", "[Updates]\r\nUpdates Server=\r\n");
    TFakePrompts prompts;
    TMainFormOptions options = TestFormOptions(prompts, common);
    options.Program = MakeProgramValues(folder.Path() / "Kelvane", {});
    TMainForm form(options);
    ASSERT_EQ(form.Layout().UpdatesServer, "");
    QAction* item = form.findChild<QAction*>(QStringLiteral("CheckForUpdates1"));
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isEnabled());
    // The modal window closes itself once its check has run.
    QTimer::singleShot(0, &form, [&form] {
        QTimer::singleShot(50, &form, [&form] {
            ASSERT_NE(form.UpdaterForm(), nullptr);
            form.UpdaterForm()->CloseButton()->click();
        });
    });
    item->trigger();
    ASSERT_NE(form.UpdaterForm(), nullptr);
    EXPECT_EQ(form.UpdaterForm()->windowTitle(), "Kelvane Updater");
    EXPECT_TRUE(form.UpdaterForm()->ReportBox()->toPlainText().contains("No update server is configured"));
    EXPECT_EQ(form.UpdatesPending(), 0);
}

}  // namespace
}  // namespace kelvane
