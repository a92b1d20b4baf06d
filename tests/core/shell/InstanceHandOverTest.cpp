#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/shell/InstanceHandOver.h"

namespace kelvane {
namespace {

TEST(InstanceHandOverTest, ServerNameDependsOnUserAndDataFolderOnly) {
    const std::string name = InstanceServerName("anna", "/home/anna/.local/share/Kelvane");
    EXPECT_TRUE(name.starts_with("Kelvane-anna-"));
    EXPECT_EQ(name, InstanceServerName("anna", "/home/anna/.local/share/Kelvane/"));
    EXPECT_NE(name, InstanceServerName("bert", "/home/anna/.local/share/Kelvane"));
    EXPECT_NE(name, InstanceServerName("anna", "/tmp/other/Kelvane"));
    // Odd user names and long folders still give a short plain name.
    const std::string odd = InstanceServerName("j/doe smith", "/" + std::string(300, 'x'));
    EXPECT_TRUE(odd.starts_with("Kelvane-jdoesmith-"));
    EXPECT_LE(odd.size(), 60u);
    for (const char c : odd) EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || c == '-') << odd;
}

TEST(InstanceHandOverTest, MessageCarriesTheFilesOnceComplete) {
    const std::vector<std::vector<std::string>> cases = {
        {}, {"/logs/Run1.txt"}, {"/logs/Run 1.txt", "/logs/ümlaut/Run2.txt"}};
    for (const auto& files : cases) {
        const std::string message = EncodeHandOver(files);
        EXPECT_EQ(DecodeHandOver(message), files);
        // Any part short of the whole message is not taken yet.
        for (std::size_t length = 0; length < message.size(); ++length)
            EXPECT_FALSE(DecodeHandOver(std::string_view(message).substr(0, length))) << length;
    }
}

}  // namespace
}  // namespace kelvane
