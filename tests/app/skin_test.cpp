#include "app/skin.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "addresses/address_file.h"
#include "app/embedded_skin.h"
#include "common/file_io.h"
#include "support/fakes.h"
#include "support/read_only_dir.h"
#include "support/temp_dir.h"
#include "ui/editor_window.h"
#include "ui/main_window.h"

namespace {

namespace fs = std::filesystem;

// Whatever a test loads, the next one starts unskinned.
class SkinTest : public ::testing::Test {
  protected:
    void SetUp() override { qApp->setStyleSheet(QString()); }
    void TearDown() override { qApp->setStyleSheet(QString()); }

    bool Skinned() const {
        return qApp->styleSheet().startsWith(QStringLiteral("/* Zarkel's light skin."));
    }
    Skin MakeSkin() const {
        return Skin(program.path(), system.path(), SkinLibraryImage(), SkinData());
    }
    void PlantShared(const TempDir& dir) const {
        ASSERT_TRUE(WriteWholeFile(dir.File("SkinH_EL.dll"), SkinLibraryImage()));
    }

    TempDir program;
    TempDir system;
    TempDir work;
};

TEST_F(SkinTest, CarriedDataHaveTheirHeaders) {
    EXPECT_EQ(SkinLibraryImage().substr(0, 4),
              "\x7F"
              "ELF");
    EXPECT_EQ(SkinData().substr(0, 4), ".SHE");
    EXPECT_GT(SkinData().size(), 100u);
}

TEST_F(SkinTest, SetSkinLibraryPathTrimsBlanks) {
    const std::string existing = work.File("jedata.dll");
    std::ofstream(existing) << "x";
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"  " + existing + "  ", existing},
        {"\xA1\xA1 \xA1\xA1" + existing + "\xA1\xA1 ", existing},
        {"", ""},
        {" \xA1\xA1 ", ""},
        // A1 as the trail byte of a character is no half of a blank.
        {"x\xB0\xA1\xA1", "x\xB0\xA1\xA1"},
        {"x\xB0\xA1\xA1\xA1", "x\xB0\xA1"},
    };
    Skin skin = MakeSkin();
    for (const auto& c : cases) {
        skin.SetSkinLibraryPath(c.in);
        EXPECT_EQ(skin.SkinLibraryPath(), c.out) << c.in;
    }
}

TEST_F(SkinTest, SetSkinLibraryPathFallbacks) {
    const std::string missing = work.File("jedata.dll");
    const std::string inProgram = program.File("SkinH_EL.dll");
    const std::string inSystem = system.File("SkinH_EL.dll");
    struct Case {
        bool programCopy;
        bool systemCopy;
        std::string chosen;
    };
    const Case cases[] = {
        {false, false, missing},
        {true, false, inProgram},
        {false, true, inSystem},
        {true, true, inSystem},  // the system directory's copy wins
    };
    for (const auto& c : cases) {
        fs::remove(inProgram);
        fs::remove(inSystem);
        if (c.programCopy) std::ofstream(inProgram) << "p";
        if (c.systemCopy) std::ofstream(inSystem) << "s";
        Skin skin = MakeSkin();
        skin.SetSkinLibraryPath(" " + missing);
        EXPECT_EQ(skin.SkinLibraryPath(), c.chosen);
    }

    // The given path, when it exists (a directory counts), needs no fallback.
    fs::create_directory(missing);
    Skin skin = MakeSkin();
    skin.SetSkinLibraryPath(missing);
    EXPECT_EQ(skin.SkinLibraryPath(), missing);

    // A system directory given with its trailing separator.
    Skin slash(program.path(), system.path() + "/", SkinLibraryImage(), SkinData());
    slash.SetSkinLibraryPath(work.File("none"));
    EXPECT_EQ(slash.SkinLibraryPath(), system.path() + "/SkinH_EL.dll");
}

TEST_F(SkinTest, StartWritesAndAppliesTheCarriedLibrary) {
    Skin skin = MakeSkin();
    PrepareSkin(skin, work.path());
    EXPECT_EQ(ReadWholeFile(work.File("jedata.dll")), SkinLibraryImage());
    EXPECT_EQ(skin.SkinLibraryPath(), work.File("jedata.dll"));
    EXPECT_TRUE(skin.ApplySkin(0, 0, 0));
    EXPECT_TRUE(Skinned());

    // A stale file is replaced at the next start. (Replaced, not rewritten in place: the
    // loaded library is mapped from the old file.)
    ASSERT_TRUE(WriteWholeFile(work.File("jedata.dll"), "old"));
    PrepareSkin(skin, work.path());
    EXPECT_EQ(ReadWholeFile(work.File("jedata.dll")), SkinLibraryImage());
}

TEST_F(SkinTest, OnlyTheCarriedLibraryIsEverLoaded) {
    const std::string jedata = work.File("jedata.dll");
    std::string image(SkinLibraryImage());
    std::string altered = image;
    altered[altered.size() / 2] ^= 1;
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"another library with the export", ReadWholeFile(PLANTED_SKIN_LIBRARY)},
        {"one byte changed", altered},
        {"cut short", image.substr(0, image.size() - 1)},
        {"one byte more", image + "x"},
        {"empty", ""},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(WriteWholeFile(jedata, c.bytes));
        Skin skin = MakeSkin();
        skin.SetSkinLibraryPath(jedata);
        EXPECT_FALSE(skin.ApplySkin(0, 0, 0)) << c.what;
        EXPECT_FALSE(Skinned()) << c.what;
    }
    EXPECT_EQ(std::getenv("ZARKEL_PLANTED_SKIN_LOADED"), nullptr);

    Skin skin = MakeSkin();
    skin.SetSkinLibraryPath(work.File("missing"));
    EXPECT_FALSE(skin.ApplySkin(0, 0, 0));
    fs::create_directory(work.File("dir"));
    skin.SetSkinLibraryPath(work.File("dir"));
    EXPECT_FALSE(skin.ApplySkin(0, 0, 0));
    EXPECT_FALSE(Skinned());
}

TEST_F(SkinTest, UnwritableWorkingDirectory) {
    // Nothing there and no copy elsewhere: no skin, nothing else happens.
    {
        Skin skin = MakeSkin();
        {
            const ReadOnlyDir readOnly(work.path());
            PrepareSkin(skin, work.path());
        }
        EXPECT_FALSE(fs::exists(work.File("jedata.dll")));
        EXPECT_FALSE(skin.ApplySkin(0, 0, 0));
        EXPECT_FALSE(Skinned());
    }
    // Copies in the program and the system directory: the system directory's is used.
    {
        PlantShared(program);
        PlantShared(system);
        Skin skin = MakeSkin();
        {
            const ReadOnlyDir readOnly(work.path());
            PrepareSkin(skin, work.path());
        }
        EXPECT_EQ(skin.SkinLibraryPath(), system.File("SkinH_EL.dll"));
        EXPECT_TRUE(skin.ApplySkin(0, 0, 0));
        EXPECT_TRUE(Skinned());
        qApp->setStyleSheet(QString());
    }
    // A planted jedata.dll that cannot be replaced is chosen but never loaded.
    {
        fs::copy_file(PLANTED_SKIN_LIBRARY, work.File("jedata.dll"));
        Skin skin = MakeSkin();
        {
            const ReadOnlyDir readOnly(work.path());
            PrepareSkin(skin, work.path());
        }
        EXPECT_EQ(ReadWholeFile(work.File("jedata.dll")), ReadWholeFile(PLANTED_SKIN_LIBRARY));
        EXPECT_EQ(skin.SkinLibraryPath(), work.File("jedata.dll"));
        EXPECT_FALSE(skin.ApplySkin(0, 0, 0));
        EXPECT_FALSE(Skinned());
        EXPECT_EQ(std::getenv("ZARKEL_PLANTED_SKIN_LOADED"), nullptr);
    }
}

// Every widget of both windows, by its path of object names, with its place and size.
std::map<std::string, std::string> Places(const QWidget& window) {
    const auto text = [](const QRect& r) {
        return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " +
               std::to_string(r.width()) + "x" + std::to_string(r.height());
    };
    std::map<std::string, std::string> places;
    places["window"] = text(QRect(window.pos(), window.size()));
    const auto children = window.findChildren<QWidget*>();
    for (int i = 0; i < children.size(); ++i) {
        const QWidget* widget = children[i];
        const std::string name = std::to_string(i) + " " + widget->metaObject()->className() + " " +
                                 widget->objectName().toStdString();
        places[name] = text(widget->geometry());
    }
    return places;
}

TEST_F(SkinTest, EveryControlKeepsItsPlaceAndSize) {
    FakeMessageBox messages;
    const AddressFile file(work.path());
    MainWindow main;
    EditorWindow editor(messages, file, {});
    main.show();
    editor.show();
    const auto mainBefore = Places(main);
    const auto editorBefore = Places(editor);

    Skin skin = MakeSkin();
    PrepareSkin(skin, work.path());
    ASSERT_TRUE(skin.ApplySkin(0, 0, 0));
    QApplication::processEvents();
    const std::pair<const QWidget*, std::map<std::string, std::string>> windows[] = {
        {&main, mainBefore}, {&editor, editorBefore}};
    for (const auto& [window, before] : windows) {
        const auto after = Places(*window);
        ASSERT_EQ(after.size(), before.size());
        for (const auto& [name, place] : before) EXPECT_EQ(after.at(name), place) << name;
    }
}

}  // namespace
