// The real save dialog, worked as a person would: the name typed there decides the file.

#include "platform/dialogs.h"

#include "tests/support/modal_script.h"
#include "tests/support/temp_dir.h"

#include "platform/testing.h"

#include <gtest/gtest.h>

namespace {

namespace pt = platform::testing;
using testsupport::TempDir;

// Takes the tests' answerer away while it lives, so that the real dialogs show. Not
// pt::RealDialogs: that one closes every dialog it has no step for, and typeIntoNextFileDialog
// works the dialog here instead.
class WithoutAnswerer {
public:
    WithoutAnswerer() { pt::setModalHandler({}); }
    ~WithoutAnswerer() { testsupport::InstallUnexpectedModalHandler(); }
};

class SaveDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        platform::declareFileType({"text/data", ".dat", "Kestrix documents"});
        platform::declareFileType({"special/any", "", "All files"});
        platform::declareFileType({"image/pict", ".pict;.pic;.pct", "PICT pictures"});
        platform::declareFileType({"image/png", ".png", "PNG pictures"});
    }

    // The file the save dialog gives when `typed` is typed into it.
    std::optional<platform::File> save(const char* type, const std::string& typed,
                                       std::string* question = nullptr)
    {
        WithoutAnswerer real;
        pt::typeIntoNextFileDialog(typed, question);
        return platform::GetSaveFolderItem(type, "Kestrix.dat", platform::File(dir.path()));
    }

    TempDir dir;
};

struct TypedName {
    const char* type;
    const char* typed;
    const char* saved;
};

class TypedNameTest : public SaveDialogTest, public ::testing::WithParamInterface<TypedName> {};

TEST_P(TypedNameTest, ANameWithoutExtensionGetsTheTypesOwn)
{
    const std::optional<platform::File> f = save(GetParam().type, GetParam().typed);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->absolutePath(), dir.file(GetParam().saved));
}

INSTANTIATE_TEST_SUITE_P(Cases, TypedNameTest,
                         ::testing::Values(TypedName{"text/data", "mydoc", "mydoc.dat"},
                                           TypedName{"text/data", "mydoc.dat", "mydoc.dat"},
                                           // Any extension the person typed stays.
                                           TypedName{"text/data", "mydoc.txt", "mydoc.txt"},
                                           TypedName{"text/data", "my.doc", "my.doc"},
                                           TypedName{"image/pict", "map", "map.pict"},
                                           TypedName{"image/pict", "map.pct", "map.pct"},
                                           // A type without extensions adds none.
                                           TypedName{"special/any", "players", "players"}));

TEST_F(SaveDialogTest, AsksBeforeReplacingTheFileTheExtensionNames)
{
    TempDir::write(dir.file("mydoc"), "kept");
    std::string question;
    EXPECT_EQ(save("text/data", "mydoc", &question)->absolutePath(), dir.file("mydoc.dat"));
    EXPECT_EQ(question, "") << "no file of that name yet; \"mydoc\" itself is not asked about";

    TempDir::write(dir.file("mydoc.dat"), "old");
    EXPECT_EQ(save("text/data", "mydoc", &question)->absolutePath(), dir.file("mydoc.dat"));
    EXPECT_NE(question.find("mydoc.dat already exists"), std::string::npos) << question;
    EXPECT_EQ(TempDir::read(dir.file("mydoc")), "kept");
}

// A dialog for two types lists both, the first selected: a name typed without an extension
// gets that type's, one typed with ".png" stays.
TEST_F(SaveDialogTest, OffersEachTypeAndTheFirstGivesTheExtension)
{
    for (const auto& [typed, saved] : {std::pair{"map", "map.pict"}, {"map.png", "map.png"}}) {
        pt::RealDialogs dialogs;
        dialogs.then([typed = std::string(typed)](pt::RealDialog& d) {
            EXPECT_EQ(d.nameFilters(),
                      (std::vector<std::string>{"PICT pictures (*.pict *.pic *.pct)",
                                                "PNG pictures (*.png)"}));
            EXPECT_EQ(d.selectedNameFilter(), d.nameFilters().front());
            d.typeFileName(typed);
            EXPECT_TRUE(d.press("Save"));
        });
        const std::optional<platform::File> f =
            platform::GetSaveFolderItem(std::vector<std::string>{"image/pict", "image/png"},
                                        "Kestrix.pict", platform::File(dir.path()));
        EXPECT_TRUE(dialogs.done());
        ASSERT_TRUE(f);
        EXPECT_EQ(f->absolutePath(), dir.file(saved));
    }
}

} // namespace
