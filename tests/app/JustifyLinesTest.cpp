#include "JustifyLines.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

#include <vector>

namespace orsa::app {
namespace {

// Every character 6 px wide, like a monospace face.
int fixedMeasure(const QString& text) { return static_cast<int>(text.size()) * 6; }

// Number of spaces in each gap between words.
std::vector<int> gaps(const QString& line) {
  std::vector<int> result;
  int run = 0;
  bool inWord = false;
  for (const QChar c : line.trimmed()) {
    if (c == QLatin1Char(' ')) {
      ++run;
      inWord = false;
    } else {
      if (!inWord && run > 0) {
        result.push_back(run);
      }
      run = 0;
      inWord = true;
    }
  }
  return result;
}

TEST(JustifyLine, ThreeShortWordsAreSpreadOverTheWidth) {
  const QString out = justifyLine(QStringLiteral("один два три"), fixedMeasure, 300);
  const auto g = gaps(out);
  ASSERT_EQ(g.size(), 2u);
  EXPECT_GE(g[0], g[1]);
  EXPECT_LE(g[0], g[1] + 1);
  // Stops at the first length whose text plus one space reaches the slack line...
  EXPECT_GE(fixedMeasure(out + QLatin1Char(' ')) + kJustifySlack, 300);
  // ...and not a space later.
  EXPECT_LT(fixedMeasure(out) + kJustifySlack, 300);
  EXPECT_EQ(out.split(QLatin1Char(' '), Qt::SkipEmptyParts),
            QStringList({QStringLiteral("один"), QStringLiteral("два"), QStringLiteral("три")}));
}

TEST(JustifyLine, SpacesGoToEarlierGapsFirstAcrossManyWidths) {
  const QString line = QStringLiteral("a bb ccc dddd ee f");
  for (int width = 130; width <= 400; width += 7) {
    const auto g = gaps(justifyLine(line, fixedMeasure, width));
    ASSERT_EQ(g.size(), 5u) << width;
    for (size_t i = 1; i < g.size(); ++i) {
      EXPECT_GE(g[i - 1], g[i]) << "width " << width;
      EXPECT_LE(g[0] - g[i], 1) << "width " << width;
    }
  }
}

TEST(JustifyLine, LinesWithoutTwoWordsStayAsTheyAre) {
  EXPECT_EQ(justifyLine(QStringLiteral("  слово  "), fixedMeasure, 500), QStringLiteral("  слово  "));
  EXPECT_EQ(justifyLine(QString(), fixedMeasure, 500), QString());
  EXPECT_EQ(justifyLine(QStringLiteral("   "), fixedMeasure, 500), QStringLiteral("   "));
}

TEST(JustifyLine, RepeatedBlanksCountAsOneSeparator) {
  const QString out = justifyLine(QStringLiteral("a    b"), fixedMeasure, 60);
  // 60 px: "a" "b" plus spaces until (n+1)*6 + 12 >= 60 -> 7 characters in all.
  EXPECT_EQ(out, QStringLiteral("a     b"));
}

TEST(JustifyLine, AMeasureBlindToSpacesCannotHangIt) {
  const auto blind = [](const QString& s) { return static_cast<int>(s.trimmed().size()); };
  const QString out = justifyLine(QStringLiteral("x y"), blind, 50);
  EXPECT_TRUE(out.startsWith(QLatin1Char('x')));
  EXPECT_TRUE(out.endsWith(QLatin1Char('y')));
}

TEST(JustifyLines, LastTwoLinesAreLeftAlone) {
  const QStringList in = {QStringLiteral("a b c"), QStringLiteral("d e f"), QStringLiteral("g h"),
                          QStringLiteral("i j")};
  const QStringList out = justifyLines(in, fixedMeasure, 200);
  ASSERT_EQ(out.size(), 4);
  EXPECT_NE(out[0], in[0]);
  EXPECT_NE(out[1], in[1]);
  EXPECT_EQ(out[2], in[2]);
  EXPECT_EQ(out[3], in[3]);
  EXPECT_EQ(justifyLines({QStringLiteral("a b"), QStringLiteral("c d")}, fixedMeasure, 200),
            QStringList({QStringLiteral("a b"), QStringLiteral("c d")}));
  EXPECT_TRUE(justifyLines({}, fixedMeasure, 200).isEmpty());
}

TEST(JustifyLines, ProportionalFontLinesStayInsideTheMemo) {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(11);
  const QFontMetrics metrics(font);
  const auto measure = [&metrics](const QString& s) { return metrics.horizontalAdvance(s); };
  const int width = 468;
  const QString out =
      justifyLine(QStringLiteral("Укажите, как часто устройство будет выходить на связь"), measure, width);
  EXPECT_LT(measure(out) + kJustifySlack, width);
  EXPECT_GE(measure(out + QLatin1Char(' ')) + kJustifySlack, width);
  const auto g = gaps(out);
  for (size_t i = 1; i < g.size(); ++i) {
    EXPECT_GE(g[i - 1], g[i]);
    EXPECT_LE(g[0] - g[i], 1);
  }
}

}  // namespace
}  // namespace orsa::app
