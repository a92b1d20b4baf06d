#include <algorithm>
#include <system_error>

#include "FuzzSupport.h"
#include "core/ground/PathText.h"
#include "core/shell/UpdateCheck.h"
#include "core/shell/UpdateProtocol.h"

namespace kelvane::fuzz {

namespace {

namespace fs = std::filesystem;

// How many listed versions are compared with each other, so that a long
// list does not cost the square of its length.
constexpr std::size_t MaxComparedEntries = 32;

// The program folder the listed names land in: a folder "sub", a link "in"
// to it and a link "out" to a folder beside the program folder.
const fs::path& ProgramFolder() {
    static const fs::path folder = [] {
        const fs::path program = ScratchFolder() / "update" / "program";
        fs::create_directories(program / "sub");
        fs::create_directories(ScratchFolder() / "update" / "outside");
        // Where no links can be made (Windows without the privilege) the
        // names are only plain, missing entries.
        std::error_code noLinks;
        fs::create_directory_symlink(program / "sub", program / "in", noLinks);
        fs::create_directory_symlink(ScratchFolder() / "update" / "outside", program / "out", noLinks);
        return program;
    }();
    return folder;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

// A field as the list keeps it: not empty, no separator, no line break and
// no blank at either end.
bool CleanField(std::string_view field) {
    return !field.empty() && field.find_first_of(";,\r\n") == std::string_view::npos &&
           !IsBlank(field.front()) && !IsBlank(field.back());
}

std::vector<std::string_view> Segments(std::string_view path) {
    std::vector<std::string_view> segments;
    while (true) {
        const std::size_t slash = path.find('/');
        segments.push_back(path.substr(0, slash));
        if (slash == std::string_view::npos) return segments;
        path.remove_prefix(slash + 1);
    }
}

void CheckListShape(std::string_view text, const TFileList& list) {
    Check(!list.TooLong, "a list within the limit is read");
    const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n') +
                                                       std::count(text.begin(), text.end(), '\r')) +
                              1;
    Check(list.Entries.size() <= lines, "at most one entry per line");
    std::string written;
    for (const TFileListEntry& entry : list.Entries) {
        Check(CleanField(entry.Name), "a listed name is a clean field");
        Check(CleanField(entry.Version), "a listed version is a clean field");
        Check(entry.Size > 0, "a listed size is positive");
        written += entry.Name + ";" + entry.Version + ";" + std::to_string(entry.Size) + "\n";
    }
    // The entries written out as a list read back as the same entries.
    Check(ParseFileList(written).Entries == list.Entries, "the entries read back as written");

    // Whatever it holds, the list with blanks past the limit is refused whole.
    std::string padded(text);
    padded.resize(MaxFileListBytes + 1, ' ');
    const TFileList refused = ParseFileList(padded);
    Check(refused.TooLong && refused.Entries.empty(), "a list over the limit yields no entry");
}

void CheckPath(const std::string& name) {
    const std::optional<std::string> path = SafeUpdatePath(name);
    const bool unsafeByLook = name.empty() || name.front() == '/' || name.front() == '\\' ||
                              name.find(':') != std::string::npos ||
                              std::any_of(name.begin(), name.end(), IsControl);
    if (!path) return;
    Check(!unsafeByLook, "an absolute name, a drive, a colon or a control character is refused");

    std::string expected = name;
    std::replace(expected.begin(), expected.end(), '\\', '/');
    Check(*path == expected, "a safe path is the name with \\ as /");
    const std::vector<std::string_view> segments = Segments(*path);
    for (const std::string_view segment : segments)
        Check(!segment.empty() && segment != "." && segment != "..",
              "a safe path has no empty, . or .. segment");

    const fs::path& program = ProgramFolder();
    const fs::path target = (program / PathOfText(*path)).lexically_normal();
    Check(
        std::mismatch(program.begin(), program.end(), target.begin(), target.end()).first == program.end() &&
            target != program,
        "a safe path names something inside the program folder");
    // Only the link leading out of the folder takes a safe path outside
    // (without links, as where none could be made, every safe path stays).
    const bool linkOut = fs::is_symlink(program / "out");
    Check(StaysInsideFolder(program, PathOfText(*path)) == (!linkOut || segments.front() != "out"),
          "a safe path stays inside unless it goes through a link out");

    const std::optional<std::string> address = UpdateFileAddress("updates.example.org", "updates", *path);
    Check(address && address->starts_with("http://updates.example.org/updates/") &&
              address->find(' ') == std::string::npos,
          "a safe path makes an address without blanks");
}

void CheckVersion(const std::string& version) {
    const std::int64_t number = UpdateVersionNumber(version);
    Check(number >= 0, "a version number is never negative");
    const TUpdateDecision fresh = DecideUpdate(version, "");
    Check(fresh == (number > 0 ? TUpdateDecision::Fetch : TUpdateDecision::RefuseInvalidVersion),
          "a missing file is fetched exactly when its version is valid");
    const TUpdateDecision same = DecideUpdate(version, version);
    Check(same == (number > 0 ? TUpdateDecision::SkipSameVersion : TUpdateDecision::RefuseInvalidVersion),
          "the installed version is never fetched again");

    // A listed version has no blank at either end; the time of day after
    // its date does not count.
    if (const std::optional<std::int64_t> days = DateVersionDays(version)) {
        Check(number == std::max<std::int64_t>(*days, 0), "a date version counts its days");
        Check(DateVersionDays(std::string_view(version).substr(0, version.find(' '))) == days,
              "the time of day is dropped");
    }
}

// Between two valid versions the decisions agree with one order, so no file
// is ever fetched back and forth.
void CheckPair(const std::string& listed, const std::string& installed) {
    const TUpdateDecision forward = DecideUpdate(listed, installed);
    const TUpdateDecision backward = DecideUpdate(installed, listed);
    const std::int64_t listedNumber = UpdateVersionNumber(listed);
    const std::int64_t installedNumber = UpdateVersionNumber(installed);
    if (listedNumber <= 0) {
        Check(forward == TUpdateDecision::RefuseInvalidVersion, "an invalid listed version is refused");
        return;
    }
    if (forward == TUpdateDecision::Fetch)
        Check(listedNumber > installedNumber, "only a newer file is fetched");
    if (installedNumber <= 0) return;
    Check((forward == TUpdateDecision::Fetch) == (backward == TUpdateDecision::SkipInstalledNewer),
          "fetching one way is skipping the other way");
    Check((forward == TUpdateDecision::SkipSameVersion) == (backward == TUpdateDecision::SkipSameVersion),
          "the same version is the same both ways");
}

}  // namespace

int FuzzUpdateList(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = AsText(data, size);
    const TFileList list = ParseFileList(text);
    if (text.size() > MaxFileListBytes) {
        Check(list.TooLong && list.Entries.empty(), "a list over the limit yields no entry");
        return 0;
    }
    CheckListShape(text, list);
    for (const TFileListEntry& entry : list.Entries) {
        CheckPath(entry.Name);
        CheckVersion(entry.Version);
    }
    const std::size_t compared = std::min(list.Entries.size(), MaxComparedEntries);
    for (std::size_t i = 0; i < compared; ++i)
        for (std::size_t j = 0; j < compared; ++j)
            CheckPair(list.Entries[i].Version, list.Entries[j].Version);
    return 0;
}

}  // namespace kelvane::fuzz
