#include "FuzzSupport.h"
#include "core/ground/AtomicFile.h"
#include "core/shell/Settings.h"
#include "core/shell/SettingsMainFile.h"
#include "core/shell/SettingsWindows.h"
#include "core/shell/StartupClosing.h"

namespace kelvane::fuzz {

namespace {

std::string Bytes(const std::filesystem::path& path) {
    std::string bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

// The sections and values two files hold.
bool SameContents(const TIniFile2& a, const TIniFile2& b) {
    std::vector<std::string> sectionsA, sectionsB;
    a.ReadSections(sectionsA);
    b.ReadSections(sectionsB);
    if (sectionsA != sectionsB) return false;
    for (const std::string& section : sectionsA) {
        std::vector<std::string> valuesA, valuesB;
        a.ReadSectionValues(section, valuesA);
        b.ReadSectionValues(section, valuesB);
        if (valuesA != valuesB) return false;
    }
    return true;
}

// The same edits key by key and inside one update give the same file.
void CheckUpdateWritesAsKeyByKey(std::string_view text) {
    TIniFile2 single(WriteScratchFile("single.ini", text));
    TIniFile2 gathered(WriteScratchFile("gathered.ini", text));
    std::vector<std::string> sections;
    single.ReadSections(sections);
    sections.resize(std::min<std::size_t>(sections.size(), 4));
    sections.push_back("New Section");

    const auto edit = [&](TIniFile2& ini) {
        int step = 0;
        for (const std::string& section : sections) {
            std::vector<std::string> keys;
            ini.ReadSection(section, keys);
            keys.resize(std::min<std::size_t>(keys.size(), 4));
            keys.push_back("New Key");
            for (const std::string& key : keys) {
                const std::string value = "v" + std::to_string(++step);
                if (ini.WriteString(section, key, value))
                    Check(ini.ReadString(section, key, "") == value, "a written key reads back");
            }
            (void)ini.DeleteKey(section, keys.front());
        }
        if (!sections.empty()) (void)ini.EraseSection(sections.front());
    };
    edit(single);
    {
        TIniUpdate update(gathered);
        edit(gathered);
        (void)update.Commit();
    }
    // An update whose edits end where the file began writes nothing; key by key
    // the file was written all the same, with the same lines.
    if (Bytes(gathered.FileName()) == text && Bytes(single.FileName()) != text)
        Check(SameContents(single, gathered), "an update that ends where it began leaves the same contents");
    else
        Check(Bytes(single.FileName()) == Bytes(gathered.FileName()),
              "an update writes what key-by-key writes would");
}

}  // namespace

int FuzzSettings(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = AsText(data, size);
    const std::filesystem::path root = ScratchFolder() / "root";
    const std::filesystem::path project = ScratchFolder() / "project";
    std::filesystem::create_directories(root);
    std::filesystem::create_directories(project);

    TSettingsStore store(root);
    (void)WriteScratchFile("root/Kelvane.ini", text);
    (void)WriteScratchFile("project/Kelvane.ini", text);

    TSettings settings;
    LoadSettings(store, settings, TSettingsLoad::Startup);
    LoadStartupValues(store.Main(), settings);
    (void)LoadRecentFiles(store.Main());
    TLayoutSettings layout;
    ReadLayoutSettings(store.Main(), layout);
    TPlotDisplay display;
    ReadAfrScaleSettings(store.Main(), display);
    Check(settings.PlotPointSize >= 2, "the plot point size is at least 2");

    // What the windows read, written back, reads the same.
    TWindowSettings windows;
    ReadWindowSettings(store.Main(), settings.KnockLimits[0], windows);
    if (WriteWindowSettings(store.Main(), windows)) {
        TWindowSettings again;
        ReadWindowSettings(store.Main(), settings.KnockLimits[0], again);
        Check(again == windows, "window settings read back as written");
    }

    settings.ProjectFolder = project;
    settings.ProjectName = "Volvo";
    LoadSettings(store, settings, TSettingsLoad::Project);
    Check(settings.PlotLimits.MaxRpm >= settings.PlotLimits.MinRpm, "the project limits are ordered");
    (void)SaveSettings(store, settings);

    // A second save of the same settings changes no byte.
    const std::string mainSaved = Bytes(store.Main().FileName());
    const std::string projectSaved = Bytes(project / "Kelvane.ini");
    (void)store.OpenProjectSettings(project);
    (void)SaveSettings(store, settings);
    Check(Bytes(store.Main().FileName()) == mainSaved, "saving again leaves the main file");
    Check(Bytes(project / "Kelvane.ini") == projectSaved, "saving again leaves the project file");

    TClosingValues values;
    values.RecentFiles = {"/logs/a.txt"};
    (void)RunClosingSequence(store, settings, values, TClosingActions{}, nullptr);

    CheckUpdateWritesAsKeyByKey(text);
    return 0;
}

}  // namespace kelvane::fuzz
