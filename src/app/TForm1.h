#pragma once

#include <QWidget>

class QStackedWidget;

namespace orsa::app {

class CommandBar;
class DialogService;
class HeaderPanel;
class PortPanel;
class SectionColumn;
class SummaryPage;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;

// The configurator's main window: header, section column, command bar,
// settings pages and port panel.
class TForm1 : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = 748;
  static constexpr int kClientHeight = 576;

  explicit TForm1(DialogService& dialogs);
  ~TForm1() override;

  // The other windows exist only after this one; they are handed over once created.
  void attachWindows(TForm2* form2, TForm3* form3, TForm4* form4, TForm5* form5, TForm6* form6);

  // What a click on section label `section` (1..9) does.
  void selectSection(int section);
  int currentSection() const { return currentSection_; }
  // Shows the file, server-command and engineering buttons and the summary entry.
  void revealServiceEntries();

  DialogService& dialogs() const { return dialogs_; }
  QStackedWidget* pageControl() const { return pages_; }
  SectionColumn* sectionColumn() const { return sections_; }
  CommandBar* commandBar() const { return commands_; }
  PortPanel* portPanel() const { return ports_; }
  SummaryPage* summaryPage() const { return summary_; }
  TForm2* form2() const { return form2_; }
  TForm3* form3() const { return form3_; }
  TForm4* form4() const { return form4_; }
  TForm5* form5() const { return form5_; }
  TForm6* form6() const { return form6_; }

  // Stretches the help texts to the width of their memos.
  void justifyHelpTexts();

 signals:
  // The window was closed; the program ends with it.
  void closed();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildPages();
  void openCommandWindow();
  void openEngineeringAccess();

  DialogService& dialogs_;
  HeaderPanel* header_ = nullptr;
  SectionColumn* sections_ = nullptr;
  CommandBar* commands_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  PortPanel* ports_ = nullptr;
  SummaryPage* summary_ = nullptr;
  TForm2* form2_ = nullptr;
  TForm3* form3_ = nullptr;
  TForm4* form4_ = nullptr;
  TForm5* form5_ = nullptr;
  TForm6* form6_ = nullptr;
  int currentSection_ = 1;
  bool centred_ = false;
};

}  // namespace orsa::app
