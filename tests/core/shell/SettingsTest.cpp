#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "core/ground/AtomicFile.h"
#include "core/maps/EngineSetup.h"
#include "core/shell/Settings.h"
#include "core/shell/SettingsMainFile.h"
#include "core/shell/SettingsWindows.h"
#include "support/TempFolder.h"
#include "support/TestFiles.h"

namespace kelvane {
namespace {

class SettingsTest : public ::testing::Test {
  protected:
    SettingsTest() : FStore(FRoot.Path()) {
        FProjectFolder = FRoot.Path() / "Projects" / "Volvo";
        std::filesystem::create_directories(FProjectFolder);
    }

    TIniFile2 ProjectIni() const { return TIniFile2(FProjectFolder / "Kelvane.ini"); }

    // Settings as after opening the project "Volvo".
    TSettings InProject() const {
        TSettings settings;
        settings.ProjectFolder = FProjectFolder;
        settings.ProjectName = "Volvo";
        return settings;
    }

    TTempFolder FRoot;
    TSettingsStore FStore;
    std::filesystem::path FProjectFolder;
};

TEST_F(SettingsTest, FirstRunGivesEveryDefault) {
    TSettings settings;
    settings.PlotPointSize = 11;
    settings.ActiveFilters = TFilterSettings{};
    LoadSettings(FStore, settings, TSettingsLoad::Startup);
    LoadStartupValues(FStore.Main(), settings);
    EXPECT_EQ(settings, TSettings{});
    EXPECT_EQ(settings.ScaleMode, TScaleMode::Default);
    EXPECT_FALSE(settings.ActiveFilters.MaxAfrEnabled);
    EXPECT_EQ(settings.ActiveFilters.MaxAfr, 0);
    EXPECT_EQ(settings.KnockLimits[1], (TKnockLimit{6.0, 6}));
    EXPECT_EQ(settings.PlotLimits, (TPlotRanges{0, 6600, 28, 387}));

    TLayoutSettings layout;
    layout.DataLogWidth = 1;
    ReadLayoutSettings(FStore.Main(), layout);
    EXPECT_EQ(layout, TLayoutSettings{});
    TWindowSettings windows;
    windows.MainWindow = TWindowSize{1, 2, 3, 4};
    ReadWindowSettings(FStore.Main(), settings.KnockLimits[0], windows);
    EXPECT_FALSE(windows.MainWindow.has_value());
    EXPECT_EQ(windows.EZKAdjustMaxCyls, "3");
    EXPECT_EQ(windows.EZKAdjustMaxRetard, "3.0");
    EXPECT_FALSE(std::filesystem::exists(FStore.Main().FileName()));  // reads never create the file
}

TEST_F(SettingsTest, StartupLoadReadsTheMainFile) {
    struct TCase {
        const char* Key;
        const char* Text;
        std::function<bool(const TSettings&)> Check;
    };
    const TCase cases[] = {
        {"Plot Point Size", "0", [](const TSettings& s) { return s.PlotPointSize == 2; }},
        {"Plot Point Size", "1", [](const TSettings& s) { return s.PlotPointSize == 2; }},
        {"Plot Point Size", "9", [](const TSettings& s) { return s.PlotPointSize == 9; }},
        {"Plot Point Size", "big", [](const TSettings& s) { return s.PlotPointSize == 6; }},
        {"LH Version", "lh2.2",
         [](const TSettings& s) { return s.EngineSetup.LHVersion == TLHVersion::LH22; }},
        {"LH Version", "LH 2.2",
         [](const TSettings& s) { return s.EngineSetup.LHVersion == TLHVersion::Unset; }},
        {"LH Config", "hmaf",
         [](const TSettings& s) { return s.EngineSetup.LHConfig == TLHConfig::HexaMaf; }},
        {"EZK Config", "GT", [](const TSettings& s) { return s.EngineSetup.EZKVersion == TEZKVersion::GT; }},
        {"AutoScale", "1", [](const TSettings& s) { return s.ScaleMode == TScaleMode::Automatic; }},
        {"AutoScale", "0", [](const TSettings& s) { return s.ScaleMode == TScaleMode::Default; }},
        // No correction at start-up: a maximum below the minimum is kept.
        {"Max Plot RPM", "-5", [](const TSettings& s) { return s.PlotLimits.MaxRpm == -5; }},
        {"Min Plot MAF", "500",
         [](const TSettings& s) { return s.PlotLimits.MinLoad == 500 && s.PlotLimits.MaxLoad == 387; }},
    };
    for (const auto& c : cases) {
        TIniFile2 main(FStore.Main().FileName());
        ASSERT_TRUE(main.EraseSection("Settings"));
        ASSERT_TRUE(main.WriteString("Settings", c.Key, c.Text));
        TSettings settings;
        LoadSettings(FStore, settings, TSettingsLoad::Startup);
        EXPECT_TRUE(c.Check(settings)) << c.Key << "=" << c.Text;
    }
}

TEST_F(SettingsTest, FilterSectionTakesNoDecimalCommaAndKeepsSwitchesApart) {
    ASSERT_TRUE(
        WriteFileAtomically(FStore.Main().FileName(),
                            "[Filter]\r\nMax AFR=17,5\r\nMax RPM Slope=900\r\nMax RPM Slope Enabled=0\r\n"
                            "Max MAF Slope Enabled=1\r\nInhibit After=0.4\r\nInclude WOT=0\r\n"));
    TSettings settings;
    LoadSettings(FStore, settings, TSettingsLoad::Startup);
    EXPECT_EQ(settings.ActiveFilters.MaxAfr, 0);
    EXPECT_EQ(settings.ActiveFilters.MaxRpmSlope, 900);
    EXPECT_FALSE(settings.ActiveFilters.MaxRpmSlopeEnabled);
    EXPECT_TRUE(settings.ActiveFilters.MaxMafSlopeEnabled);
    EXPECT_EQ(settings.ActiveFilters.InhibitAfter, 0.4);
    EXPECT_FALSE(settings.ActiveFilters.IncludeWot);
    EXPECT_TRUE(settings.ActiveFilters.IncludeCruise);
}

TEST_F(SettingsTest, ProjectCascadeTakesTheLastLevelHoldingAValidValue) {
    struct TCase {
        const char* Main;     // main file, section "Settings"; nullptr: absent
        const char* Legacy;   // main file, section "Volvo settngs"
        const char* Project;  // project file, section "Settings"
        int Expected;
    };
    const TCase cases[] = {
        {nullptr, nullptr, nullptr, 6}, {"7", nullptr, nullptr, 7},
        {"7", "8", nullptr, 8},         {"7", "8", "9", 9},
        {nullptr, nullptr, "9", 9},     {"7", nullptr, "x", 7},
        {"7", "x", nullptr, 7},         {"7", "8", "1", 2},
    };
    for (const auto& c : cases) {
        TIniFile2 main(FStore.Main().FileName());
        TIniFile2 project = ProjectIni();
        ASSERT_TRUE(main.EraseSection("Settings") && main.EraseSection("Volvo settngs"));
        ASSERT_TRUE(project.EraseSection("Settings"));
        if (c.Main) {
            ASSERT_TRUE(main.WriteString("Settings", "Plot Point Size", c.Main));
        }
        if (c.Legacy) {
            ASSERT_TRUE(main.WriteString("volvo SETTNGS", "Plot Point Size", c.Legacy));
        }
        if (c.Project) {
            ASSERT_TRUE(project.WriteString("Settings", "Plot Point Size", c.Project));
        }
        TSettings settings = InProject();
        LoadSettings(FStore, settings, TSettingsLoad::Project);
        EXPECT_EQ(settings.PlotPointSize, c.Expected)
            << (c.Main ? c.Main : "-") << " " << (c.Legacy ? c.Legacy : "-") << " "
            << (c.Project ? c.Project : "-");
    }
}

TEST_F(SettingsTest, ProjectCascadeCorrectsThePlotLimits) {
    struct TCase {
        const char *MinRpm, *MaxRpm, *MinMaf, *MaxMaf;
        TPlotRanges Expected;
    };
    const TCase cases[] = {
        {nullptr, nullptr, nullptr, nullptr, {0, 6600, 0, 387}},
        {"1000", "5000", "20", "300", {1000, 5000, 20, 300}},
        {"4000", "3000", "50", "55", {4000, 4000, 50, 60}},  // max below min; MAF max below min + 10
        {"4000", "4000", "50", "60", {4000, 4000, 50, 60}},
        {"7000", nullptr, "400", nullptr, {7000, 7000, 400, 410}},
    };
    for (const auto& c : cases) {
        TIniFile2 project = ProjectIni();
        ASSERT_TRUE(project.EraseSection("Settings"));
        const std::pair<const char*, const char*> keys[] = {{"Min Plot RPM", c.MinRpm},
                                                            {"Max Plot RPM", c.MaxRpm},
                                                            {"Min Plot MAF", c.MinMaf},
                                                            {"Max Plot MAF", c.MaxMaf}};
        for (const auto& [key, value] : keys)
            if (value) {
                ASSERT_TRUE(project.WriteString("Settings", key, value));
            }
        TSettings settings = InProject();
        LoadSettings(FStore, settings, TSettingsLoad::Project);
        EXPECT_EQ(settings.PlotLimits, c.Expected) << c.MinRpm << " " << c.MaxRpm;
    }
}

TEST_F(SettingsTest, ProjectCascadeFilterKeys) {
    TIniFile2& main = FStore.Main();
    TIniFile2 project = ProjectIni();
    // Filter keys have two levels only: the project's section in the main file is not read.
    ASSERT_TRUE(main.WriteString("Volvo settngs", "Filter Max RPM Slope", "1234"));
    ASSERT_TRUE(main.WriteString("Settings", "Filter Max MAF Slope", "700"));
    ASSERT_TRUE(main.WriteString("Settings", "Filter Inhibit Before", "0,3"));
    ASSERT_TRUE(project.WriteString("Settings", "Filter Max AFR", "16,5"));  // decimal comma taken here
    ASSERT_TRUE(project.WriteString("Settings", "Filter Max RPM Slope Enabled", "0"));
    ASSERT_TRUE(project.WriteString("Settings", "Filter Max MAF Slope Enabled", "1"));
    ASSERT_TRUE(project.WriteString("Settings", "FILTER MAX AFR ENABLED", "0"));
    ASSERT_TRUE(project.WriteString("Settings", "Filter Inhibit After", "1,2,3"));
    // Present in section "Filter" only: not part of the cascade.
    ASSERT_TRUE(main.WriteString("Filter", "Include Idle", "1"));

    TSettings settings = InProject();
    LoadSettings(FStore, settings, TSettingsLoad::Project);
    TFilterSettings expected;  // the project defaults, limits on
    expected.MaxAfr = 16.5;
    expected.MaxAfrEnabled = false;
    expected.MaxMafSlope = 700;
    expected.MaxRpmSlopeEnabled = false;
    expected.InhibitBefore = 0.3;
    EXPECT_EQ(settings.ActiveFilters, expected);
}

TEST_F(SettingsTest, ProjectCascadeScaleModeAndEngineSetup) {
    TIniFile2& main = FStore.Main();
    TIniFile2 project = ProjectIni();
    ASSERT_TRUE(main.WriteString("Settings", "Manual Scale", "1"));  // never read from the main file
    ASSERT_TRUE(main.WriteString("Settings", "LH Config", "MAP"));
    ASSERT_TRUE(main.WriteString("Volvo settngs", "EZK Config", "GT"));
    ASSERT_TRUE(project.WriteString("Settings", "LH Version", "LH2.2"));
    TSettings settings = InProject();
    LoadSettings(FStore, settings, TSettingsLoad::Project);
    EXPECT_EQ(settings.ScaleMode, TScaleMode::Default);
    EXPECT_EQ(settings.EngineSetup, (TEngineSetup{TLHVersion::LH22, TLHConfig::Map, TEZKVersion::GT}));

    ASSERT_TRUE(project.WriteBool("Settings", "Manual Scale", true));
    LoadSettings(FStore, settings, TSettingsLoad::Project);
    EXPECT_EQ(settings.ScaleMode, TScaleMode::Manual);
    ASSERT_TRUE(main.WriteBool("Volvo settngs", "AutoScale", true));  // AutoScale wins over Manual Scale
    LoadSettings(FStore, settings, TSettingsLoad::Project);
    EXPECT_EQ(settings.ScaleMode, TScaleMode::Automatic);
}

TEST_F(SettingsTest, ProjectLoadNeedsFolderAndName) {
    ASSERT_TRUE(ProjectIni().WriteString("Settings", "Plot Point Size", "12"));
    for (const bool withName : {false, true}) {
        TSettings settings = InProject();
        if (withName)
            settings.ProjectFolder.clear();
        else
            settings.ProjectName.clear();
        int axesSetUp = 0;
        TSettingsHooks hooks;
        hooks.SetupAxes = [&](const TEngineSetup&) { ++axesSetUp; };
        LoadSettings(FStore, settings, TSettingsLoad::Project, hooks);
        EXPECT_EQ(settings.PlotPointSize, 6);
        EXPECT_EQ(axesSetUp, 1);  // the common end still runs
        EXPECT_EQ(FStore.Project().File(), nullptr);
    }
}

TEST_F(SettingsTest, SettingsFileCache) {
    TFolderSettingsFile& project = FStore.Project();
    EXPECT_FALSE(FStore.OpenProjectSettings({}));
    EXPECT_EQ(project.ReadInteger("Plot Point Size", 5), 5);
    EXPECT_FALSE(project.WriteInteger("Plot Point Size", 7));

    ASSERT_TRUE(FStore.OpenProjectSettings(FProjectFolder));
    TIniFile2* first = project.File();
    EXPECT_EQ(first->FileName(), FProjectFolder / "Kelvane.ini");
    ASSERT_TRUE(FStore.OpenProjectSettings(FProjectFolder));
    EXPECT_EQ(project.File(), first);
    ASSERT_TRUE(project.WriteBool("GT RPM-grid", true));
    EXPECT_TRUE(ProjectIni().ReadBool("Settings", "GT RPM-grid", false));

    const auto other = FRoot.Path() / "volvo";
    ASSERT_TRUE(FStore.OpenProjectSettings(other));
    EXPECT_EQ(project.File()->FileName(), other / "Kelvane.ini");
    EXPECT_FALSE(FStore.OpenProjectSettings({}));
    EXPECT_EQ(project.File(), nullptr);

    // The session cache is a separate object.
    ASSERT_TRUE(FStore.OpenSessionSettings(FProjectFolder / "Session 1"));
    ASSERT_TRUE(FStore.OpenProjectSettings(FProjectFolder));
    EXPECT_NE(FStore.Session().File(), FStore.Project().File());
}

TEST_F(SettingsTest, SaveWritesProjectAndMainFiles) {
    TIniFile2& main = FStore.Main();
    ASSERT_TRUE(main.WriteString("Volvo settngs", "Plot Point Size", "8"));
    ASSERT_TRUE(main.WriteString("Settings", "LH Version", "LH2.2"));

    TSettings settings = InProject();
    ASSERT_TRUE(FStore.OpenProjectSettings(FProjectFolder));
    settings.EngineSetup = {TLHVersion::Unset, TLHConfig::Alpha, TEZKVersion::S4};
    settings.ScaleMode = TScaleMode::Manual;
    settings.PlotLimits = {500.4, 6000.6, -0.2, 300};
    settings.ActiveFilters = TFilterSettings{};
    settings.ActiveFilters.MaxAfr = 16.25;
    settings.StoredFilters.MaxRpmSlope = 1234.5;
    ASSERT_TRUE(SaveSettings(FStore, settings).Ok());
    EXPECT_EQ(FStore.Project().File(), nullptr);

    const TIniFile2 project = ProjectIni();
    const std::map<std::string, std::string> projectValues = {
        {"LH Version", "dflt"},  // code 0 writes nothing
        {"LH Config", "TPS"},
        {"EZK Config", "S4"},
        {"AutoScale", "0"},
        {"Manual Scale", "1"},
        {"Min Plot RPM", "500"},
        {"Max Plot RPM", "6001"},
        {"Min Plot MAF", "0"},  // rounded; no "-0"
        {"Filter Max AFR", "16.2"},
        {"Filter Max RPM Slope", "10000"},
        {"Filter Inhibit After", "0.2"},
        {"Filter Max AFR enabled", "1"},
    };
    for (const auto& [key, value] : projectValues)
        EXPECT_EQ(project.ReadString("Settings", key, "dflt"), value) << key;

    EXPECT_FALSE(main.SectionExists("Volvo settngs"));
    EXPECT_EQ(main.ReadString("Settings", "LH Version", ""), "LH2.2");  // kept: code 0 writes nothing
    EXPECT_EQ(main.ReadString("Settings", "LH Config", ""), "TPS");
    EXPECT_EQ(main.ReadString("Settings", "EZK Config", ""), "S4");
    EXPECT_EQ(main.ReadString("Settings", "Manual Scale", ""), "0");
    EXPECT_EQ(main.ReadString("Settings", "Filter Max RPM Slope", ""), "1234");  // the stored defaults
    EXPECT_EQ(main.ReadString("Settings", "Filter Max AFR", ""), "0.0");
}

TEST_F(SettingsTest, FailedProjectWriteKeepsTheOlderSectionAndStillSavesTheMainFile) {
    TIniFile2& main = FStore.Main();
    ASSERT_TRUE(main.WriteString("Volvo settngs", "Plot Point Size", "8"));
    // A plain file where the project folder should be: nothing can be written there.
    const auto notAFolder = FRoot.Path() / "NotAFolder";
    ASSERT_TRUE(WriteFileAtomically(notAFolder, "x"));
    TSettings settings = InProject();
    settings.ProjectFolder = notAFolder;
    settings.PlotPointSize = 4;
    ASSERT_TRUE(FStore.OpenProjectSettings(notAFolder));

    // The project file is named, with the system's reason.
    const std::vector<std::string> failures = SaveSettings(FStore, settings).Messages();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].rfind((notAFolder / "Kelvane.ini").string() + ": ", 0), 0u) << failures[0];
    EXPECT_EQ(FStore.Project().File(), nullptr);
    EXPECT_EQ(main.ReadInteger("Volvo settngs", "Plot Point Size", 0), 8);
    EXPECT_EQ(main.ReadInteger("Settings", "Plot Point Size", 0), 4);
}

TEST_F(SettingsTest, TargetAfrMapGoesToOnePlace) {
    std::map<std::filesystem::path, TMapGrid> files;
    bool writable = true;
    TMapGrid target;
    bool edited = false;
    TSettingsHooks hooks;
    hooks.TargetAfrMap = &target;
    hooks.TargetAfrEdited = &edited;
    hooks.ReadTargetAfrMap = [&](const std::filesystem::path& path, TMapGrid& map) {
        const auto found = files.find(path);
        if (found == files.end()) return false;
        map = found->second;
        return true;
    };
    hooks.WriteTargetAfrMap = [&](const std::filesystem::path& path, const TMapGrid& map) {
        TMapWriteResult result;
        result.FileName = path;
        result.Ok = writable;
        if (writable)
            files[path] = map;
        else
            result.ErrorText = path.string() + ": disk full";
        return result;
    };
    const auto inRoot = FRoot.Path() / "TargetAFRmap.txt";
    const auto inProject = FProjectFolder / "TargetAFRmap.txt";

    for (const bool withProject : {false, true}) {
        files.clear();
        TSettings settings = withProject ? InProject() : TSettings{};
        target.Fill(13.5);
        edited = true;
        ASSERT_TRUE(SaveSettings(FStore, settings, hooks).Ok());
        EXPECT_FALSE(edited);
        ASSERT_EQ(files.size(), 1u);
        EXPECT_EQ(files.begin()->first, withProject ? inProject : inRoot);

        target.Fill(0);
        edited = true;
        LoadSettings(FStore, settings, withProject ? TSettingsLoad::Project : TSettingsLoad::Startup, hooks);
        EXPECT_EQ(target.At(3, 4), 13.5);
        EXPECT_FALSE(edited);
    }

    // A map that cannot be read leaves the map as it was; one that cannot be written stays marked.
    files.clear();
    TSettings settings;
    target.Fill(12.0);
    LoadSettings(FStore, settings, TSettingsLoad::Startup, hooks);
    EXPECT_EQ(target.At(0, 0), 12.0);
    writable = false;
    edited = true;
    EXPECT_EQ(SaveSettings(FStore, settings, hooks).Messages(),
              std::vector<std::string>{inRoot.string() + ": disk full"});
    EXPECT_TRUE(edited);
}

TEST_F(SettingsTest, SaveThenLoadRoundTripsTheRecord) {
    const auto recent1 = FRoot.Path() / "Run 1.txt";
    const auto recent2 = FRoot.Path() / "Run 2.txt";
    ASSERT_TRUE(WriteFileAtomically(recent1, "x") && WriteFileAtomically(recent2, "x"));

    TSettings saved = InProject();
    saved.EngineSetup = {TLHVersion::LH22, TLHConfig::HexaMaf, TEZKVersion::GT};
    saved.ScaleMode = TScaleMode::Manual;
    saved.PlotPointSize = 4;
    saved.PlotLimits = {800, 6200, 30, 350};
    saved.ActiveFilters = {false, 16.5, true, 8000, false, 600, true, true, false, true, 0.3, 0.5};
    saved.StoredFilters = {true, 15.5, false, 7000, true, 500, false, false, true, false, 0.7, 0.9};
    saved.AfrSmoothing = 5;
    saved.AdjustSmoothing = 4;
    saved.KnockLimits = {{{2.5, 2}, {4.5, 5}}};
    saved.RecentFiles = {recent2, FRoot.Path() / "gone.txt", recent1};

    // Opening the project, then leaving it and closing the program.
    ASSERT_TRUE(FStore.OpenProjectSettings(saved.ProjectFolder));
    ASSERT_TRUE(SaveSettings(FStore, saved).Ok());
    ASSERT_TRUE(SaveExitValues(FStore.Main(), saved));
    ASSERT_TRUE(SaveRecentFiles(FStore.Main(), saved.RecentFiles));

    // Next run: start-up load from the main file.
    TSettingsStore store(FRoot.Path());
    TSettings loaded;
    LoadSettings(store, loaded, TSettingsLoad::Startup);
    LoadStartupValues(store.Main(), loaded);
    loaded.RecentFiles = LoadRecentFiles(store.Main());
    EXPECT_EQ(loaded.EngineSetup, saved.EngineSetup);
    EXPECT_EQ(loaded.ScaleMode, TScaleMode::Default);  // "Select" lives in the project file only
    EXPECT_EQ(loaded.PlotPointSize, 4);
    EXPECT_EQ(loaded.ActiveFilters, saved.StoredFilters);
    EXPECT_EQ(loaded.StoredFilters, saved.StoredFilters);
    EXPECT_EQ(loaded.AfrSmoothing, 5);
    EXPECT_EQ(loaded.AdjustSmoothing, 4);
    EXPECT_EQ(loaded.KnockLimits, saved.KnockLimits);
    EXPECT_EQ(loaded.ProjectFolder, saved.ProjectFolder);
    EXPECT_EQ(loaded.RecentFiles, (std::vector<std::filesystem::path>{recent2, recent1}));
    EXPECT_EQ(store.Main().ReadString("Folders", "Session Name", "x"), "");

    // Then the project is opened again: the cascade brings the project values back.
    loaded.ProjectName = "Volvo";
    LoadSettings(store, loaded, TSettingsLoad::Project);
    EXPECT_EQ(loaded.ScaleMode, TScaleMode::Manual);
    EXPECT_EQ(loaded.PlotLimits, saved.PlotLimits);
    EXPECT_EQ(loaded.ActiveFilters, saved.ActiveFilters);
    EXPECT_EQ(loaded.EngineSetup, saved.EngineSetup);

    // A shorter list drops the surplus keys.
    ASSERT_TRUE(SaveRecentFiles(store.Main(), {recent1}));
    std::vector<std::string> keys;
    store.Main().ReadSection("Recent Files", keys);
    EXPECT_EQ(keys, (std::vector<std::string>{"1"}));
}

TEST_F(SettingsTest, OlderFolderLayoutGivesTheProjectFolder) {
    TIniFile2& main = FStore.Main();
    ASSERT_TRUE(main.WriteString("Folders", "Vortrix Logs", "/logs"));
    ASSERT_TRUE(main.WriteString("Folders", "Project Name", "Volvo"));
    TSettings settings;
    LoadStartupValues(main, settings);
    EXPECT_EQ(settings.ProjectFolder, std::filesystem::path("/logs/Volvo/"));
    ASSERT_TRUE(main.WriteString("Folders", "Project Folder", "/elsewhere/"));
    LoadStartupValues(main, settings);
    EXPECT_EQ(settings.ProjectFolder, std::filesystem::path("/elsewhere/"));
}

TEST_F(SettingsTest, WindowValuesRoundTrip) {
    TLayoutSettings layout;
    layout.StartupWindow = false;
    layout.DataLogWidth = 420;
    layout.DataGraphVisible = true;
    layout.MapFile = "/maps/base=1.txt";
    layout.MapFilter = 2;
    layout.UpdatesFolder = "beta";
    TWindowSettings windows;
    windows.MainWindow = TWindowSize{-4, 0, 1280, 1024};
    windows.MapViewerWindow = TWindowSize{10, 20, 300, 200};
    windows.LogWindowStayOnTop = false;
    windows.ColorWindowRgbMode = true;
    windows.OptionsActiveTabIndex = 2;
    windows.LHAdjustTargetAfr = "13.9";
    windows.EZKAdjustMaxCyls = "4";
    windows.EZKAdjustMaxRetard = "2.5";
    ASSERT_TRUE(WriteLayoutSettings(FStore.Main(), layout));
    ASSERT_TRUE(WriteWindowSettings(FStore.Main(), windows));
    EXPECT_FALSE(FStore.Main().ValueExists("Project Window", "Window Size"));  // never placed: stays centred

    TLayoutSettings layoutBack;
    TWindowSettings windowsBack;
    ReadLayoutSettings(FStore.Main(), layoutBack);
    ReadWindowSettings(FStore.Main(), TKnockLimit{}, windowsBack);
    EXPECT_EQ(layoutBack, layout);
    EXPECT_EQ(windowsBack, windows);

    ASSERT_TRUE(FStore.Main().WriteString("Main Window", "Window Size", "1,2,three,4"));
    EXPECT_FALSE(ReadWindowSize(FStore.Main(), "Main Window").has_value());
}

TEST_F(SettingsTest, LogWindowSectionIsWrittenOnItsOwn) {
    TWindowSettings windows;
    windows.LogWindow = TWindowSize{30, 40, 420, 500};
    windows.LogWindowStayOnTop = false;
    windows.MapWindow = TWindowSize{1, 2, 3, 4};
    ASSERT_TRUE(WriteLogWindowSettings(FStore.Main(), windows));
    EXPECT_EQ(FStore.Main().ReadString("Log Window", "Window Size", ""), "30,40,420,500");
    EXPECT_EQ(FStore.Main().ReadString("Log Window", "Stay on top", ""), "0");
    EXPECT_FALSE(FStore.Main().ValueExists("Map Window", "Window Size"));
}

TEST_F(SettingsTest, AdjustWindowSectionsAreWrittenOnTheirOwn) {
    TWindowSettings windows;
    windows.LHAdjustWindow = TWindowSize{5, 6, 400, 300};
    windows.LHAdjustTargetAfr = "13,2";  // as typed
    windows.LHAdjustTargetMap = false;
    windows.EZKAdjustMaxCyls = "x";
    windows.EZKAdjustMaxRetard = "2.5";
    windows.MapWindow = TWindowSize{1, 2, 3, 4};
    ASSERT_TRUE(WriteLHAdjustSettings(FStore.Main(), windows, 1.0, 10.0));
    TIniFile2& main = FStore.Main();
    EXPECT_EQ(main.ReadString("LH Adjust", "Window Size", ""), "5,6,400,300");
    EXPECT_EQ(main.ReadString("LH Adjust", "TargetAFR", ""), "13,2");
    EXPECT_FALSE(main.ReadBool("LH Adjust", "Target Map", true));
    // Right-aligned in five characters, as the file has always held them.
    EXPECT_NE(ReadText(main.FileName()).find("Vertical Smoothing= 1.00"), std::string::npos);
    EXPECT_NE(ReadText(main.FileName()).find("Horizontal Smoothing=10.00"), std::string::npos);
    EXPECT_FALSE(main.ValueExists("EZK Adjust", "Max Cyls"));

    ASSERT_TRUE(WriteEZKAdjustSettings(main, windows));
    EXPECT_FALSE(main.ValueExists("EZK Adjust", "Window Size")) << "never placed: centred next time";
    EXPECT_EQ(main.ReadString("EZK Adjust", "Max Cyls", ""), "x");
    EXPECT_EQ(main.ReadString("EZK Adjust", "Max Retard", ""), "2.5");
    EXPECT_FALSE(main.ValueExists("Map Window", "Window Size"));
}

TEST_F(SettingsTest, OptionsAndColorWindowSectionsAreWrittenOnTheirOwn) {
    TWindowSettings windows;
    windows.OptionsWindow = TWindowSize{7, 8, 500, 400};
    windows.OptionsActiveTabIndex = 2;
    windows.OptionsSetDefaultFilters = true;
    windows.ColorWindowRgbMode = true;
    windows.MapWindow = TWindowSize{1, 2, 3, 4};
    ASSERT_TRUE(WriteOptionsWindowSettings(FStore.Main(), windows));
    EXPECT_FALSE(FStore.Main().SectionExists("Color Window"));
    ASSERT_TRUE(WriteColorWindowSettings(FStore.Main(), windows));
    TWindowSettings back;
    ReadWindowSettings(FStore.Main(), TKnockLimit{}, back);
    EXPECT_EQ(back.OptionsWindow, windows.OptionsWindow);
    EXPECT_EQ(back.OptionsActiveTabIndex, 2);
    EXPECT_TRUE(back.OptionsSetDefaultFilters);
    EXPECT_TRUE(back.ColorWindowRgbMode);
    EXPECT_FALSE(back.ColorWindow.has_value());
    EXPECT_FALSE(FStore.Main().ValueExists("Map Window", "Window Size"));
}

// A stored smoothing outside 1 .. 6 would leave every new sample without a
// smoothed AFR, and the next exit would store it again.
TEST_F(SettingsTest, StoredAfrSmoothingIsHeldToTheSmoothingRange) {
    const std::pair<const char*, int> cases[] = {{"0", 1}, {"7", 6}, {"-3", 1}, {"4", 4}, {"x", 3}};
    for (const auto& [stored, expected] : cases) {
        ASSERT_TRUE(FStore.Main().WriteString("Filter", "AFR Smoothing", stored));
        TSettings settings;
        LoadStartupValues(FStore.Main(), settings);
        EXPECT_EQ(settings.AfrSmoothing, expected) << stored;
        ASSERT_TRUE(SaveExitValues(FStore.Main(), settings));
        EXPECT_EQ(FStore.Main().ReadInteger("Filter", "AFR Smoothing", -1), expected) << stored;
    }
}

}  // namespace
}  // namespace kelvane
