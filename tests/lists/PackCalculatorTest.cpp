// SPDX-License-Identifier: LicenseRef-Kestrom
// The calculator's packs, pieces and total, its keypad arithmetic, and the
// marker palette.
#include "lists/PackCalculator.h"
#include "lists/Palette.h"

#include "framework/PrintQString.h"
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace lists;
using Op = lists::CalcOperation;

namespace packcalc_test {

void type(PackCalculator& c, const char* keys)
{
    for (const char* k = keys; *k; ++k) {
        if (*k == '.')
            c.typeDecimalPoint();
        else
            c.typeDigit(*k - '0');
    }
}

} // namespace packcalc_test

using packcalc_test::type;

TEST(PackCalculatorTest, PacksAndPiecesMakeTheTotalAndTheTotalSplitsBack)
{
    PackCalculator c(25, 12);
    EXPECT_EQ(c.packs(), 2);
    EXPECT_EQ(c.pieces(), 1);

    c.selectField(CalcField::Packs);
    type(c, "3");
    EXPECT_EQ(c.total(), 37);
    c.selectField(CalcField::Pieces);
    type(c, "5");
    EXPECT_EQ(c.total(), 41);

    // Whole packs and whole pieces of the total; a fraction of a piece is dropped.
    c.selectField(CalcField::Total);
    type(c, "50.5");
    EXPECT_EQ(c.total(), 50.5);
    EXPECT_EQ(c.packs(), 4);
    EXPECT_EQ(c.pieces(), 2);
    EXPECT_EQ(c.fieldText(CalcField::Total), QStringLiteral("50.5"));

    // A fractional pack size.
    PackCalculator kg(7, 2.5);
    EXPECT_EQ(kg.packs(), 2);
    EXPECT_EQ(kg.pieces(), 2);
}

TEST(PackCalculatorTest, PackSizeZeroLeavesPacksAndPiecesAsTheyWere)
{
    PackCalculator c(40, 0);
    EXPECT_EQ(c.packs(), 0);
    EXPECT_EQ(c.pieces(), 0);

    c.selectField(CalcField::Pieces);
    type(c, "7");
    EXPECT_EQ(c.total(), 7); // packs × 0 + pieces
    c.selectField(CalcField::Packs);
    type(c, "3");
    EXPECT_EQ(c.total(), 7);

    c.selectField(CalcField::Total);
    type(c, "99");
    EXPECT_EQ(c.total(), 99);
    EXPECT_EQ(c.packs(), 3);
    EXPECT_EQ(c.pieces(), 7);
    EXPECT_EQ(c.fieldText(CalcField::Packs), QStringLiteral("3"));
}

TEST(PackCalculatorTest, OperationsApplyToTheEditedFieldWithTheTypedOperand)
{
    PackCalculator c(10, 6);
    c.operation(Op::Add);
    EXPECT_EQ(c.total(), 10); // the field keeps its value while the operand is typed
    type(c, "2.5");
    EXPECT_EQ(c.operandText(), QStringLiteral("2.5"));
    EXPECT_EQ(c.operation(Op::Multiply), CalcOutcome::Done);
    EXPECT_EQ(c.total(), 12.5);
    type(c, "4");
    c.operation(Op::Subtract);
    EXPECT_EQ(c.total(), 50);
    EXPECT_EQ(c.packs(), 8);
    EXPECT_EQ(c.pieces(), 2);
    type(c, "8");
    c.toggleSign(); // the operand's sign: 50 - (-8)
    EXPECT_EQ(c.finish(), CalcOutcome::Done);
    EXPECT_EQ(c.total(), 58);
    EXPECT_EQ(c.pendingOperation(), Op::None);

    // Two operation keys in a row: the second replaces the first.
    c.operation(Op::Multiply);
    c.operation(Op::Divide);
    type(c, "4");
    c.finish();
    EXPECT_EQ(c.total(), 14.5);

    // An operation on packs carries into the total.
    c.selectField(CalcField::Packs);
    c.operation(Op::Add);
    type(c, "1");
    c.finish();
    EXPECT_EQ(c.packs(), 3);
    EXPECT_EQ(c.total(), 3 * 6 + 2);

    // After a result the next digit starts a new number.
    c.selectField(CalcField::Total);
    type(c, "7");
    EXPECT_EQ(c.total(), 7);

    c.toggleSign();
    EXPECT_EQ(c.total(), -7);
    c.operation(Op::Add);
    type(c, "5");
    c.clear();
    EXPECT_EQ(c.total(), 0);
    EXPECT_EQ(c.pendingOperation(), Op::None);
}

TEST(PackCalculatorTest, TypingBuildsOneNumber)
{
    PackCalculator c(0, 1);
    type(c, "0");
    type(c, "0");
    type(c, ".");
    EXPECT_EQ(c.fieldText(CalcField::Total), QStringLiteral("0."));
    type(c, "..05");
    EXPECT_EQ(c.fieldText(CalcField::Total), QStringLiteral("0.05"));
    EXPECT_DOUBLE_EQ(c.total(), 0.05);

    // No more digits than a number keeps.
    c.clear();
    type(c, "12345678901234567890");
    EXPECT_EQ(c.fieldText(CalcField::Total), QStringLiteral("123456789012345"));

    EXPECT_EQ(calcNumberText(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(calcNumberText(-0.0), QStringLiteral("0"));
    EXPECT_EQ(calcNumberText(1e20), QStringLiteral("1e+20"));
}

TEST(PackCalculatorTest, DivisionByZeroAndOverflowAreRefusedAndKeepTheValue)
{
    PackCalculator c(24, 10);
    c.operation(Op::Divide);
    type(c, "0");
    EXPECT_EQ(c.operation(Op::Add), CalcOutcome::DivisionByZero);
    EXPECT_EQ(c.total(), 24);
    EXPECT_EQ(c.packs(), 2);
    EXPECT_EQ(c.pieces(), 4);
    EXPECT_EQ(c.pendingOperation(), Op::None); // the refused operation is not carried on

    c.operation(Op::Divide);
    type(c, "0.0");
    EXPECT_EQ(c.finish(), CalcOutcome::DivisionByZero);
    EXPECT_EQ(c.total(), 24);

    // Squaring up past the largest number stops at the last one that fits.
    PackCalculator big(0, 1);
    type(big, "999999999999999");
    CalcOutcome outcome = CalcOutcome::Done;
    for (int i = 0; i < 40 && outcome == CalcOutcome::Done; ++i) {
        big.operation(Op::Multiply);
        type(big, "999999999999999");
        outcome = big.finish();
    }
    EXPECT_EQ(outcome, CalcOutcome::OutOfRange);
    EXPECT_TRUE(std::isfinite(big.total()));
    EXPECT_TRUE(std::isfinite(big.packs()));
    EXPECT_GT(big.total(), 1e280);

    // Nothing unshowable comes in from the caller either.
    PackCalculator odd(std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity());
    EXPECT_EQ(odd.total(), 0);
    EXPECT_EQ(odd.packSize(), 0);
}

TEST(PaletteTest, IndexesMapToColoursAndBack)
{
    EXPECT_EQ(paletteColour(0), std::nullopt); // "not set"
    EXPECT_EQ(paletteColour(36), std::nullopt);
    EXPECT_EQ(paletteColour(-1), std::nullopt);
    EXPECT_EQ(paletteColour(1), 0x000000u);
    EXPECT_EQ(paletteColour(28), 0x9AFA00u);
    EXPECT_EQ(paletteColour(35), 0xFF80FFu);

    for (int index = 1; index < kPaletteSize; ++index)
        EXPECT_EQ(paletteIndexOf(*paletteColour(index)), index) << index;
    EXPECT_EQ(paletteIndexOf(0x123456), 0);

    // Blue in the high byte.
    EXPECT_EQ(rgbOfColour(*paletteColour(14)), (Rgb{0, 0, 255}));
    EXPECT_EQ(rgbOfColour(*paletteColour(30)), (Rgb{0x87, 0xCE, 0xEB}));
}
