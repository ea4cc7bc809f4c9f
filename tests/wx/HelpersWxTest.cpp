#include <gtest/gtest.h>

#include "platform/wx/ChoosersWx.h"
#include "platform/wx/DialogUnitsWx.h"
#include "platform/wx/KeysWx.h"
#include "platform/wx/TextWx.h"

TEST(FileChooserWildcardTest, OneFileTypeLosesItsClosingBars) {
    EXPECT_EQ(FileChooserWildcard("FFMPEG executable|*.exe||"), "FFMPEG executable|*.exe");
}

TEST(FileChooserWildcardTest, SeveralFileTypesStayInOrder) {
    EXPECT_EQ(FileChooserWildcard("Logs|*.log|Texts|*.txt;*.text||"),
              "Logs|*.log|Texts|*.txt;*.text");
}

TEST(FileChooserWildcardTest, ListEndsAtTheDoubleBar) {
    EXPECT_EQ(FileChooserWildcard("Logs|*.log||Hidden|*.x||"), "Logs|*.log");
}

TEST(FileChooserWildcardTest, DescriptionWithoutPatternIsDropped) {
    EXPECT_EQ(FileChooserWildcard("Logs|*.log|Orphan||"), "Logs|*.log");
}

TEST(FileChooserWildcardTest, EmptyFilterOffersEveryFile) {
    EXPECT_EQ(FileChooserWildcard(""), "*");
    EXPECT_EQ(FileChooserWildcard("||"), "*");
}

TEST(ChooserStartTest, BareNameStartsInTheCurrentFolder) {
    const SChooserStart start = ChooserStartOf("rtvedit");
    EXPECT_EQ(start.folder, "");
    EXPECT_EQ(start.name, "rtvedit");
}

TEST(ChooserStartTest, FullPathStartsInItsFolder) {
    const SChooserStart start = ChooserStartOf("/usr/local/bin/ffmpeg");
    EXPECT_EQ(start.folder, "/usr/local/bin");
    EXPECT_EQ(start.name, "ffmpeg");
}

TEST(ChooserStartTest, FileInTheRootKeepsTheRoot) {
    const SChooserStart start = ChooserStartOf("/pelkar.log");
    EXPECT_EQ(start.folder, "/");
    EXPECT_EQ(start.name, "pelkar.log");
}

TEST(ChooserStartTest, FolderPathStartsThereWithoutName) {
    const SChooserStart start = ChooserStartOf("/var/log/");
    EXPECT_EQ(start.folder, "/var/log");
    EXPECT_EQ(start.name, "");
}

TEST(VirtualKeyTest, LettersAreTheirCapitalsWhateverTheCase) {
    EXPECT_EQ(VirtualKeyOf('A'), 'A');
    EXPECT_EQ(VirtualKeyOf('q'), 'Q');
    EXPECT_EQ(VirtualKeyOf('7'), '7');
}

TEST(VirtualKeyTest, DialogKeysGetTheirDialogCodes) {
    EXPECT_EQ(VirtualKeyOf(WXK_ESCAPE), 0x1Bu);
    EXPECT_EQ(VirtualKeyOf(WXK_RETURN), 0x0Du);
    EXPECT_EQ(VirtualKeyOf(WXK_NUMPAD_ENTER), 0x0Du);
    EXPECT_EQ(VirtualKeyOf(WXK_TAB), 0x09u);
    EXPECT_EQ(VirtualKeyOf(WXK_DOWN), 0x28u);
    EXPECT_EQ(VirtualKeyOf(WXK_NUMPAD_UP), 0x26u);
    EXPECT_EQ(VirtualKeyOf(WXK_END), 0x23u);
    EXPECT_EQ(VirtualKeyOf(WXK_NUMPAD_HOME), 0x24u);
    EXPECT_EQ(VirtualKeyOf(WXK_NUMPAD_PAGEDOWN), 0x22u);
    EXPECT_EQ(VirtualKeyOf(WXK_F1), 0x70u);
    EXPECT_EQ(VirtualKeyOf(WXK_F12), 0x7Bu);
}

TEST(VirtualKeyTest, KeyWithoutDialogCodeIsZero) {
    EXPECT_EQ(VirtualKeyOf(WXK_MEDIA_PLAY_PAUSE), 0u);
}

TEST(DialogTextTest, Utf8TextRoundTrips) {
    const std::string text = "Caf\xC3\xA9 \xE2\x82\xAC";
    EXPECT_EQ(ToWx(text).length(), 6u);
    EXPECT_EQ(FromWx(ToWx(text)), text);
}

TEST(DialogTextTest, SingleByteTextStillShows) {
    EXPECT_EQ(ToWx("Caf\xE9"), wxString::FromUTF8("Caf\xC3\xA9"));
}

TEST(DialogTextTest, ByteOffsetsBecomeCharacterOffsets) {
    const std::string text = "\xC3\xA9t\xC3\xA9";
    EXPECT_EQ(CharacterOffset(text, 0), 0);
    EXPECT_EQ(CharacterOffset(text, 3), 2);
    EXPECT_EQ(CharacterOffset(text, 5), 3);
    EXPECT_EQ(CharacterOffset(text, 99), 3);
}

TEST(DialogUnitsTest, UnitsScaleByTheBaseAndRoundHalfUp) {
    const CWxDialogUnits units(6, 13);
    EXPECT_EQ(units.ToPixelsX(7), 11);
    EXPECT_EQ(units.ToPixelsY(8), 13);
    EXPECT_EQ(units.ToPixels(SDialogRect{7, 18, 206, 65}), wxRect(11, 29, 309, 106));
}

TEST(DialogUnitsTest, WideningMakesTheWidthHoldThePixels) {
    const CWxDialogUnits widened = CWxDialogUnits(7, 15).WidenedToHold(101, 50);
    EXPECT_GE(widened.ToPixelsX(50), 101);
    EXPECT_EQ(widened.ToPixelsY(8), 15);
}

TEST(DialogUnitsTest, WideningNeverNarrows) {
    const CWxDialogUnits units(7, 15);
    EXPECT_EQ(units.WidenedToHold(10, 50).BaseWidth(), 7);
    EXPECT_EQ(units.WidenedToHold(10, 0).BaseWidth(), 7);
}
