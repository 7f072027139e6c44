#include <gtest/gtest.h>

#include "platform/posix/ini_document.h"

using mixora::IniDocument;
using mixora::ParseProfileInt;

TEST(IniDocument, LooksUpCaseInsensitivelyIgnoringBlanksAndQuotes) {
    auto doc = IniDocument::Parse("; my settings\r\n[ settings ]\r\n  VOLUME  =  -1500  \r\n"
                                  "skin_file = \"My Skin.dll\"\r\n[Other]\r\nVolume=7\r\n");
    EXPECT_EQ(doc.Get("Settings", "Volume"), "-1500");
    EXPECT_EQ(doc.Get("SETTINGS", "Skin_File"), "My Skin.dll");
    EXPECT_EQ(doc.Get("other", "volume"), "7");
    EXPECT_FALSE(doc.Get("Settings", "Mute").has_value());
    EXPECT_FALSE(doc.Get("Missing", "Volume").has_value());
}

TEST(IniDocument, WritingKeepsEveryOtherLineInPlace) {
    const std::string before = "; keep me\r\n[SETTINGS]\r\n  volume = -5 \r\nUnknown=yes\r\n\r\n"
                               "[Other]\r\nx=1\r\n";
    auto doc = IniDocument::Parse(before);
    doc.Set("Settings", "Volume", "-1500");
    doc.Set("Settings", "Mute", "1");
    doc.Set("EQ", "EQPresetMask", "5");
    EXPECT_EQ(doc.Serialize(),
              "; keep me\r\n[SETTINGS]\r\nVolume=-1500\r\nUnknown=yes\r\nMute=1\r\n"
              "\r\n[Other]\r\nx=1\r\n\r\n[EQ]\r\nEQPresetMask=5\r\n");
}

TEST(IniDocument, AddsLineEndToALastLineWithoutOne) {
    auto doc = IniDocument::Parse("[Settings]\nRepeat=1");
    doc.Set("Settings", "Mute", "0");
    EXPECT_EQ(doc.Serialize(), "[Settings]\nRepeat=1\nMute=0\n");
}

TEST(IniDocument, AValueCanNeverBecomeSeveralLines) {
    IniDocument doc;
    doc.Set("Settings", "Skin_File", "evil.dll\n[Settings]\nVolume=0");
    EXPECT_EQ(doc.Serialize(), "[Settings]\nSkin_File=evil.dll\n");
}
