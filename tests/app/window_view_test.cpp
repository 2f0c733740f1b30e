// The real Qt window on the offscreen platform: every control shown with its
// design-time value, both ways of the binding, the menus, Expand/Collapse,
// Help, the hints and the monitor appends.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <QTextDocument>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/qt/catmux_window.h"
#include "app/qt/help_window.h"
#include "app/qt/qt_desktop.h"
#include "app/window_extras.h"
#include "catmux_fixture.h"
#include "model/catmux_model.h"
#include "ports/certificate_maker.h"
#include "temp_folder.h"
#include "version.h"

namespace vantorel::app {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

class WindowViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }

  template <class W = QWidget>
  W* Widget(const model::Control& control) const {
    return window.centralWidget()->findChild<W*>(Q(control.Name()), Qt::FindDirectChildrenOnly);
  }

  QAction* Menu(const model::Menu& menu) const {
    return window.findChild<QAction*>(Q(menu.Name()));
  }

  // The visible help windows.
  static std::vector<QWidget*> HelpWindows() {
    std::vector<QWidget*> found;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == QLatin1String("HlpForm") && w->isVisible()) {
        found.push_back(w);
      }
    }
    return found;
  }

  void ExpectWidgetsShowTheModel() {
    for (model::Control* control : model.Controls()) {
      SCOPED_TRACE(control->Name());
      const auto all = window.centralWidget()->findChildren<QWidget*>(Q(control->Name()),
                                                                      Qt::FindDirectChildrenOnly);
      ASSERT_EQ(all.size(), 1);
      EXPECT_EQ(all[0]->isVisibleTo(&window), control->Visible());
      EXPECT_EQ(all[0]->isEnabled(), control->Enabled());
      if (const auto* label = dynamic_cast<model::Label*>(control)) {
        EXPECT_EQ(qobject_cast<QLabel*>(all[0])->text(), Q(label->Caption()));
      } else if (const auto* button = dynamic_cast<model::Button*>(control)) {
        EXPECT_EQ(qobject_cast<QPushButton*>(all[0])->text(), Q(button->Caption()));
      } else if (const auto* check = dynamic_cast<model::CheckBox*>(control)) {
        const auto* box = qobject_cast<QCheckBox*>(all[0]);
        const Qt::CheckState states[] = {Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked};
        EXPECT_EQ(box->text(), Q(check->Caption()));
        EXPECT_EQ(box->checkState(), states[NumberOf(check->Value())]);
      } else if (const auto* option = dynamic_cast<model::OptionButton*>(control)) {
        EXPECT_EQ(qobject_cast<QRadioButton*>(all[0])->isChecked(), option->Value());
      } else if (const auto* combo = dynamic_cast<model::ComboBox*>(control)) {
        const auto* widget = qobject_cast<QComboBox*>(all[0]);
        EXPECT_TRUE(widget->isEditable());
        EXPECT_EQ(widget->currentText(), Q(combo->Text()));
        ASSERT_EQ(widget->count(), static_cast<int>(combo->Items().size()));
        EXPECT_EQ(widget->itemText(widget->count() - 1), Q(combo->Items().back()));
      } else if (const auto* text = dynamic_cast<model::TextBox*>(control)) {
        if (text->MultiLine()) {
          const auto* edit = qobject_cast<QPlainTextEdit*>(all[0]);
          EXPECT_EQ(edit->toPlainText(), Q(text->Text()).replace("\r\n", "\n"));
          EXPECT_EQ(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        } else {
          EXPECT_EQ(qobject_cast<QLineEdit*>(all[0])->text(), Q(text->Text()));
        }
      }
    }
  }

  model::CatmuxModel model;
  testing::FakeMessageBoxes boxes;
  QtDesktop desktop;
  testing::TempFolder stationFolder;
  WindowExtras extras{model, boxes, desktop,
                      [this] { return ports::MakeCertificatePair(stationFolder.Path()).text; }};
  CatmuxWindow window{model};
};

// Each control of the model is one widget of its kind, named as the control,
// showing the model's caption, text, value, visibility and enabled state.
TEST_F(WindowViewTest, EveryControlIsOneNamedWidgetShowingTheModel) {
  ExpectWidgetsShowTheModel();
  EXPECT_EQ(window.windowTitle(), Q(model.title));
  EXPECT_FALSE(window.windowIcon().pixmap(32).isNull());
}

TEST_F(WindowViewTest, LabelsEndBeforeTheFieldsTheyName) {
  const std::vector<std::pair<const model::Label*, const model::Control*>> pairs{
      {&model.Label1, &model.Soft1Com}, {&model.Label3, &model.RadioCom},
      {&model.Label4, &model.Baud},     {&model.Label5, &model.DataBits},
      {&model.Label6, &model.Parity},   {&model.Label7, &model.StopBits},
      {&model.Label8, &model.App1Name}, {&model.Label9, &model.App2Name},
      {&model.Label11, &model.Text7}};
  for (const auto& [label, field] : pairs) {
    const QLabel* text = Widget<QLabel>(*label);
    EXPECT_LT(text->geometry().right(), Widget(*field)->x()) << label->Name();
    EXPECT_GE(text->width(), text->sizeHint().width()) << label->Name();
  }
}

TEST_F(WindowViewTest, TransmitLimitSitsInTheGapOfItsCaption) {
  const QCheckBox* box = Widget<QCheckBox>(model.MonitorTX);
  const QWidget* limit = Widget(model.ShutDwn);
  const QFontMetrics metrics = box->fontMetrics();
  const QStyle* style = box->style();
  const int textStart = box->x() + style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box) +
                        style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, box);
  const QString before = QStringLiteral("Shut Down if XT is");
  EXPECT_GT(limit->x(), textStart + metrics.horizontalAdvance(before));
  EXPECT_LT(limit->geometry().right(),
            box->x() + box->width() - metrics.horizontalAdvance(QStringLiteral("or greater")));
}

TEST_F(WindowViewTest, MenusInMenuBarOrderAndThePictureReachTheModel) {
  QStringList bar;
  for (QAction* action : window.menuBar()->actions()) {
    bar << action->text();
  }
  EXPECT_EQ(bar, QStringList({"File", "Expand", "About", "Help"}));
  auto* file = window.findChild<QMenu*>(QStringLiteral("File"));
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(file->actions().size(), 3);
  EXPECT_EQ(file->actions()[0]->text(), QLatin1String("Traffic"));
  EXPECT_EQ(file->actions()[2]->text(), QLatin1String("Exit"));
  int exits = 0;
  int traffic = 0;
  model.Exit.onClick = [&] { ++exits; };
  model.TrafficMenu.onClick = [&] { ++traffic; };
  file->actions()[0]->trigger();
  file->actions()[2]->trigger();
  EXPECT_EQ(exits, 1);
  EXPECT_EQ(traffic, 1);
  // The virtual port's path, whole, for App 1's set-up.
  QAction* copyPath = file->actions()[1];
  model.Soft1Com.SetText("COM3");
  EXPECT_FALSE(copyPath->isEnabled());
  model.Soft1Com.SetText("pty:/run/vantorel/app1?group=dialout&mode=0660");
  ASSERT_TRUE(copyPath->isEnabled());
  copyPath->trigger();
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QLatin1String("/run/vantorel/app1"));

  Menu(model.Abt)->trigger();
  QTest::mouseClick(Widget(model.Picture1), Qt::LeftButton);
  ASSERT_EQ(boxes.shown.size(), 2U);
  EXPECT_EQ(boxes.shown[0].rfind("Catmux version 1.1", 0), 0U);
  EXPECT_NE(boxes.shown[0].find(std::string("\nVantorel ") + kVersion + ":"), std::string::npos)
      << boxes.shown[0];
  EXPECT_EQ(QDir(Q(boxes.shown[1])), QDir::current()) << "the folder the program runs in";
}

// The station's pair for the encrypted ports is made once, in its folder.
TEST_F(WindowViewTest, MakeCertificateMakesThePairOnceAndSaysWhatCameOfIt) {
  QTest::mouseClick(Widget(model.MakeCertificate), Qt::LeftButton);
  QTest::mouseClick(Widget(model.MakeCertificate), Qt::LeftButton);
  ASSERT_EQ(boxes.shown.size(), 2U);
  const std::filesystem::path key = stationFolder.Path() / "vantorel.key";
  EXPECT_EQ(boxes.shown[0].rfind("Made " + key.string(), 0), 0U) << boxes.shown[0];
  EXPECT_NE(boxes.shown[1].find(key.string() + " is there already and is not replaced"),
            std::string::npos)
      << boxes.shown[1];
  EXPECT_TRUE(std::filesystem::exists(stationFolder.Path() / "vantorel.crt"));
}

TEST_F(WindowViewTest, ExpandAndCollapseResizeTheOuterWindow) {
  QAction* exp = Menu(model.EXP);
  exp->trigger();
  QApplication::processEvents();
  EXPECT_EQ(exp->text(), QLatin1String("Collapse"));
  EXPECT_EQ(window.frameGeometry().size(), QSize(731, 533));
  exp->trigger();
  QApplication::processEvents();
  EXPECT_EQ(exp->text(), QLatin1String("Expand"));
  EXPECT_EQ(window.frameGeometry().size(), QSize(329, 342));
}

TEST_F(WindowViewTest, TwoHelpClicksGiveOneWindowWithTheTextOnce) {
  Menu(model.Hlp)->trigger();
  Menu(model.Hlp)->trigger();
  QApplication::processEvents();
  const auto shown = HelpWindows();
  ASSERT_EQ(shown.size(), 1U);
  EXPECT_EQ(shown[0]->windowTitle(), QLatin1String("Help"));
  auto* text = shown[0]->findChild<QPlainTextEdit*>(QStringLiteral("Text1"));
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(text->isReadOnly());
  // The text once, as the model holds it (the model's text is checked to the byte).
  EXPECT_EQ(text->toPlainText(), Q(model.HlpForm.Text1.Text()).replace("\r\n", "\n"));

  QTest::mouseClick(shown[0]->findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
  EXPECT_FALSE(model.HlpForm.Loaded());
  EXPECT_TRUE(HelpWindows().empty());

  // The window's own close box unloads the form as well.
  Menu(model.Hlp)->trigger();
  ASSERT_EQ(HelpWindows().size(), 1U);
  HelpWindows()[0]->close();
  EXPECT_FALSE(model.HlpForm.Loaded());
}

TEST_F(WindowViewTest, ClosingTheMainWindowClosesTheHelpWindow) {
  int unloads = 0;
  // What the program's Form_Unload does to the help window.
  window.onCloseBox = [&] {
    ++unloads;
    model.HlpForm.Unload();
  };
  Menu(model.Hlp)->trigger();
  ASSERT_EQ(HelpWindows().size(), 1U);
  window.close();
  EXPECT_EQ(unloads, 1);
  EXPECT_TRUE(HelpWindows().empty());
}

// From one control straight to the next; the transmit box is entered at its
// very left, away from the limit field over its caption.
TEST_F(WindowViewTest, HintsAppearAfterThePointerMovesOverTheControl) {
  Menu(model.EXP)->trigger();
  QApplication::processEvents();
  for (const model::Control* control : std::initializer_list<const model::Control*>{
           &model.Label11, &model.PWROn, &model.Check2, &model.MonitorTX}) {
    QWidget* widget = Widget(*control);
    EXPECT_EQ(widget->toolTip(), QString()) << control->Name();
    QTest::mouseMove(widget, QPoint(4, widget->height() / 2));
    EXPECT_FALSE(widget->toolTip().isEmpty()) << control->Name();
    EXPECT_EQ(widget->toolTip(), Q(control->ToolTipText())) << control->Name();
  }
}

TEST_F(WindowViewTest, AppendingToAMonitorAddsOnlyThePiece) {
  auto* edit = Widget<QPlainTextEdit>(model.Text5);
  model.Text5.SetText("FA14251300;\r\n");
  std::vector<std::array<int, 3>> changes;  // position, removed, added
  QObject::connect(edit->document(), &QTextDocument::contentsChange,
                   [&](int position, int removed, int added) {
                     changes.push_back({position, removed, added});
                   });
  const int before = edit->document()->characterCount() - 1;
  model.Text5.Append("IF;\r");
  model.Text5.Append("\nMD2;");
  EXPECT_EQ(edit->toPlainText(), QLatin1String("FA14251300;\nIF;\nMD2;"));
  EXPECT_EQ(changes, (std::vector<std::array<int, 3>>{{before, 0, 4}, {before + 4, 0, 4}}));
  // Appends did not come back into the model as edits.
  EXPECT_EQ(model.Text5.Text(), "FA14251300;\r\nIF;\r\nMD2;");

  model.Text5.SetText("");
  EXPECT_EQ(edit->toPlainText(), QString());
}

TEST_F(WindowViewTest, EditsAndClicksReachTheModel) {
  Menu(model.EXP)->trigger();
  QApplication::processEvents();

  auto* port = Widget<QComboBox>(model.Soft1Com);
  QTest::keyClicks(port->lineEdit(), "COM11");
  EXPECT_EQ(model.Soft1Com.Text(), "COM11");
  port->setCurrentIndex(2);
  EXPECT_EQ(model.Soft1Com.Text(), "COM3");
  EXPECT_EQ(port->count(), 20);  // typed text is not added to the list

  auto* heading = Widget<QLineEdit>(model.Text7);
  heading->selectAll();
  QTest::keyClicks(heading, "Rig");
  EXPECT_EQ(model.Text7.Text(), "Rig");

  // The monitor shows what the station writes; typing into it changes nothing.
  auto* monitor = Widget<QPlainTextEdit>(model.Text5);
  QTest::keyClicks(monitor, "ab");
  EXPECT_EQ(model.Text5.Text(), "");

  int clicks = 0;
  model.Check2.onClick = [&] { ++clicks; };
  auto* direct = Widget<QCheckBox>(model.Check2);
  QTest::mouseClick(direct, Qt::LeftButton, {}, QPoint(6, direct->height() / 2));
  EXPECT_EQ(model.Check2.Value(), Check::Ticked);
  QTest::mouseClick(direct, Qt::LeftButton, {}, QPoint(6, direct->height() / 2));
  EXPECT_EQ(model.Check2.Value(), Check::Clear);
  EXPECT_EQ(clicks, 2);

  auto* second = Widget<QRadioButton>(model.Option1[1]);
  QTest::mouseClick(second, Qt::LeftButton);
  EXPECT_TRUE(model.Option1[1].Value());
  EXPECT_FALSE(model.Option1[0].Value());
  EXPECT_FALSE(Widget<QRadioButton>(model.Option1[0])->isChecked());
  // Clicking the selected one leaves it selected.
  QTest::mouseClick(second, Qt::LeftButton);
  EXPECT_TRUE(model.Option1[1].Value());
  EXPECT_TRUE(second->isChecked());

  int sends = 0;
  model.Command9.onClick = [&] { ++sends; };
  QTest::mouseClick(Widget(model.Command9), Qt::LeftButton);
  EXPECT_EQ(sends, 1);
}

TEST_F(WindowViewTest, ModelChangesReachTheWidgets) {
  model.RadioCom.SetText("COM4");
  model.RadioCom.SetEnabled(false);
  model.App2Name.SetText("/usr/bin/rigdesk");
  model.Text1.Append("FA;");
  model.Text1.Append("IF;");
  model.Text6.SetText("IF;\r\nFA;");
  model.HexX.SetValue(Check::Greyed);
  model.PWROn.SetValue(Check::Clear);
  model.Option1[1].SetValue(true);
  model.Shape1.SetVisible(true);
  model.Soft1Com.SetItems({"ttyUSB0", "ttyS0"});
  // A second change of a line soon after the first shows a moment later.
  EXPECT_TRUE(QTest::qWaitFor([&] { return Widget<QLineEdit>(model.Text1)->text() == "FA;IF;"; }));
  ExpectWidgetsShowTheModel();
  model.Shape1.SetVisible(false);
  EXPECT_FALSE(Widget(model.Shape1)->isVisibleTo(&window));
}

// The latest-text boxes change with every message: a burst lays the line out
// a few times, not once a message, and it ends showing the newest.
TEST_F(WindowViewTest, ABurstOfLatestTextsEndsShowingTheNewest) {
  auto* line = Widget<QLineEdit>(model.Text3);
  int shown = 0;
  QObject::connect(line, &QLineEdit::textChanged, [&shown] { ++shown; });
  for (int i = 0; i < 1000; ++i) {
    model.Text3.SetText("FA" + std::to_string(i) + ";");
  }
  EXPECT_LT(shown, 100);
  EXPECT_TRUE(QTest::qWaitFor([&] { return line->text() == "FA999;"; }));
}

// A port name from a settings file in another code page shows with a stand-in
// character but stays as it was, so the file is written back unchanged.
TEST_F(WindowViewTest, ANameThatIsNotUtf8IsShownButNotChanged) {
  const std::string name = "/dev/caf\xe9-radio";
  model.RadioCom.SetText(name);
  QApplication::processEvents();
  EXPECT_TRUE(
      Widget<QComboBox>(model.RadioCom)->currentText().contains(QChar::ReplacementCharacter));
  EXPECT_EQ(model.RadioCom.Text(), name);
}

TEST(WindowViewLifetime, TheModelOutlivesItsWindow) {
  model::CatmuxModel model;
  {
    CatmuxWindow window(model);
    window.show();
  }
  model.Text5.Append("FA;");
  model.Text5.SetText("");
  model.Check1.SetValue(Check::Ticked);
  model.SetWidth(model::kExpandedWidth);
  model.EXP.SetCaption("Collapse");
  model.HlpForm.Show();
  EXPECT_TRUE(model.HlpForm.Loaded());
}

}  // namespace
}  // namespace vantorel::app
