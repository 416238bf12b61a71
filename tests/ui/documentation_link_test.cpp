// Where the documentation links lead: an address as it is, a file beside the program folder
// only when it is there.
#include "ui/shell/documentation_link.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

TEST(DocumentationLinkTest, AddressesStayAndFilesMustBeThere) {
    test::TempDir root;
    const std::string program = root.path() + "/share/vantor/";
    std::filesystem::create_directories(program);
    std::filesystem::create_directories(root.path() + "/share/doc/vantor/folder.md");
    test::WriteText(root.path() + "/share/doc/vantor/README.md", "# Vantor\n");
    const std::string readme =
        std::filesystem::canonical(root.path() + "/share/doc/vantor/README.md").string();
    const struct {
        const char* target;
        QString url;  // empty: no link
    } cases[] = {
        {"", {}},
        {"   ", {}},
        {"https://example.org/help", QStringLiteral("https://example.org/help")},
        {"../doc/vantor/README.md", QUrl::fromLocalFile(QString::fromStdString(readme)).toString()},
        {" ../doc/vantor/README.md ",
         QUrl::fromLocalFile(QString::fromStdString(readme)).toString()},
        {"../doc/vantor/MISSING.md", {}},
        {"../doc/vantor/folder.md", {}},  // a folder is no document
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        EXPECT_EQ(DocumentationUrl(program, c.target).toString(), c.url);
    }
}

}  // namespace
}  // namespace vantor
