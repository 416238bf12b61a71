// The built vantorctl copied into install layouts: with no folder given in the environment
// it finds its program folder beside itself or in ../share/vantor, under any prefix.
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;

class InstallLayoutTest : public ::testing::Test {
  protected:
    // Copies the shipped cfg.ini and texts into `folder` (under the temp folder), or writes
    // `cfgIni` as its cfg.ini.
    void PutProgramFolder(const std::string& folder, const std::string& cfgIni = {}) {
        const std::string target = dir / (folder + "/");
        const std::string source = test::SourceDataDir();
        fs::create_directories(target + "en");
        fs::copy_file(source + "text.xml", target + "text.xml");
        fs::copy_file(source + "en/text.xml", target + "en/text.xml");
        if (cfgIni.empty()) {
            fs::copy_file(source + "cfg.ini", target + "cfg.ini");
        } else {
            test::WriteText(target + "cfg.ini", cfgIni);
        }
    }

    // Runs `<bin>/vantorctl --simulate info` with neither VANTOR_PROGRAM_DIR nor
    // --program-dir; the exit status, and standard error in `err`.
    int RunInfo(const std::string& bin, std::string* err) {
        const std::string program = dir / (bin + "/vantorctl");
        fs::create_directories(dir / bin);
        fs::copy_file(VANTORCTL_PATH, program, fs::copy_options::overwrite_existing);
        const std::string line =
            "env -u VANTOR_PROGRAM_DIR -u VANTOR_SIMULATE VANTOR_DATA_DIR=" + (dir / "data") + " " +
            program + " --simulate info >" + (dir / "out") + " 2>" + (dir / "err");
        const int status = std::system(line.c_str());
        *err = test::ReadText(dir / "err");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    test::TempDir dir;
};

TEST_F(InstallLayoutTest, FindsTheProgramFolderFromItsOwnLocation) {
    const struct {
        const char* bin;
        const char* programFolder;
    } layouts[] = {
        {"usr/bin", "usr/share/vantor"},                        // the package
        {"home/me/.local/bin", "home/me/.local/share/vantor"},  // cmake --install --prefix
        {"portable", "portable"},                               // everything in one folder
    };
    for (const auto& layout : layouts) {
        PutProgramFolder(layout.programFolder);
        std::string err;
        EXPECT_EQ(RunInfo(layout.bin, &err), 0) << layout.bin << ": " << err;
    }
}

TEST_F(InstallLayoutTest, ConfigurationBesideTheProgramComesFirst) {
    // The installed folder has no appdir, which the tool refuses; the one beside it wins.
    PutProgramFolder("prefix/share/vantor", "[OPT]\nDebug=0\n");
    std::string err;
    EXPECT_NE(RunInfo("prefix/bin", &err), 0);
    EXPECT_NE(err.find("cfg.ini: appdir in section [OPT] is empty"), std::string::npos) << err;

    PutProgramFolder("prefix/bin");
    EXPECT_EQ(RunInfo("prefix/bin", &err), 0) << err;
}

TEST_F(InstallLayoutTest, MissingProgramFolderFailsWithAMessage) {
    std::string err;
    EXPECT_NE(RunInfo("lonely/bin", &err), 0);
    EXPECT_FALSE(err.empty());
}

}  // namespace
}  // namespace vantor
