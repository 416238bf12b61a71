#include "ui/widgets/qt_key_to_vk.h"

#include <gtest/gtest.h>

#include <QKeyEvent>

namespace vantor {
namespace {

constexpr quint32 Scan(quint32 evdev) {
    return evdev + 8;
}

TEST(QtKeyToVkTest, ScanCodesGiveUsPositionsAndTellLeftFromRight) {
    struct Case {
        quint32 scan;
        int qtKey;
        std::uint8_t vk;
    };
    const Case cases[] = {
        {Scan(29), Qt::Key_Control, 0x11},
        {Scan(97), Qt::Key_Control, 0xA3},
        {Scan(42), Qt::Key_Shift, 0x10},
        {Scan(54), Qt::Key_Shift, 0xA1},
        {Scan(56), Qt::Key_Alt, 0x12},
        {Scan(100), Qt::Key_AltGr, 0xA5},
        {Scan(125), Qt::Key_Meta, 0x5B},
        {Scan(126), Qt::Key_Meta, 0x5C},
        // A German layout's Z key sits where US has Y: the position decides.
        {Scan(21), Qt::Key_Z, 'Y'},
        {Scan(39), Qt::Key_Odiaeresis, 0xBA},
        {Scan(2), Qt::Key_Exclam, '1'},
        {Scan(88), Qt::Key_F12, 0x7B},
        {Scan(96), Qt::Key_Enter, 0x0D},
        {Scan(98), Qt::Key_Slash, 0x6F},
        {Scan(111), Qt::Key_Delete, 0x2E},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(VkFromKey(c.scan, c.qtKey, false), c.vk) << c.scan;
    }
}

TEST(QtKeyToVkTest, WithoutScanCodeTheQtKeyDecides) {
    EXPECT_EQ(VkFromKey(0, Qt::Key_A, false), 'A');
    EXPECT_EQ(VkFromKey(0, Qt::Key_7, false), '7');
    EXPECT_EQ(VkFromKey(0, Qt::Key_7, true), 0x67);         // keypad 7
    EXPECT_EQ(VkFromKey(0, Qt::Key_Home, true), 0x24);      // keypad without Num Lock
    EXPECT_EQ(VkFromKey(Scan(71), Qt::Key_7, true), 0x67);  // keypad keys follow the Qt key
    EXPECT_EQ(VkFromKey(0, Qt::Key_Control, false), 0x11);
    EXPECT_EQ(VkFromKey(0, Qt::Key_Question, false), 0xBF);
    EXPECT_EQ(VkFromKey(0, Qt::Key_F24, false), 0x87);
    EXPECT_EQ(VkFromKey(0, Qt::Key_unknown, false), 0);
    EXPECT_EQ(VkFromKey(Scan(250), Qt::Key_unknown, false), 0);

    const QKeyEvent event(QEvent::KeyPress, Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(VkFromKeyEvent(event), 0x6B);
}

}  // namespace
}  // namespace vantor
