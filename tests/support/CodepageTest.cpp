#include "support/Codepage.h"

#include <gtest/gtest.h>

TEST(Codepage, MapsWindows1252AndReplacesWhatItLacks) {
    const QString text = QString::fromUtf8("Promoção € – ✓ 😀");
    const QByteArray bytes = ansi::fromUnicode(text);
    EXPECT_EQ(bytes, QByteArray("Promo\xE7\xE3o \x80 \x96 ? ?"));
    EXPECT_EQ(ansi::toUnicode(bytes), QString::fromUtf8("Promoção € – ? ?"));
    EXPECT_EQ(ansi::roundTrip(QString::fromUtf8("ação")), QString::fromUtf8("ação"));
}

TEST(Codepage, UndefinedBytesRoundTrip) {
    const QByteArray undefined("\x81\x8D\x8F\x90\x9D", 5);
    EXPECT_EQ(ansi::fromUnicode(ansi::toUnicode(undefined)), undefined);
}
