#pragma once

#include <QList>
#include <QObject>

class QWidget;

namespace orsa::app {

class SectionLabel;

// The nine dark strips on the left of the main window, each holding the
// label that brings one settings page forward.
class SectionColumn : public QObject {
  Q_OBJECT
 public:
  static constexpr int kSections = 9;

  explicit SectionColumn(QWidget* form);

  // Captions as the window shows them at start; the ninth stays blank.
  void setCaptions();
  // Gives `section` (1-based) the selected look and every other label the normal one.
  void select(int section);
  // Captions and enables the ninth entry (summary of the current settings).
  void revealSummaryEntry();

  SectionLabel* label(int section) const { return labels_.at(section - 1); }

 signals:
  void sectionClicked(int section);

 private:
  QList<SectionLabel*> labels_;
};

}  // namespace orsa::app
