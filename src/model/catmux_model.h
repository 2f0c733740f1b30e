// The main window Catmux as a model: every control with its design-time value,
// the menus, the timers, the help window and the window-level variables.
//
// The model holds no logic: the window's handlers read and write it, the
// station's events fill its boxes, the Qt window shows it. It exists exactly
// once for the whole run.
// Threading: the program's one thread only.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "model/controls.h"
#include "model/traffic_model.h"

namespace vantorel::model {

// Outer window sizes (twips) switched by the Expand/Collapse menu.
inline constexpr int kCollapsedWidth = 4935;
inline constexpr int kCollapsedHeight = 5130;
inline constexpr int kExpandedWidth = 10965;
inline constexpr int kExpandedHeight = 7995;
// Client area at load (twips): shows the collapsed layout.
inline constexpr int kClientWidthAtLoad = 4530;
inline constexpr int kClientHeightAtLoad = 4365;
inline constexpr int kTwipsPerPixel = 15;

// "COM1" to "COM20".
std::vector<std::string> ComPortItems();

// The radio model box's choices: "auto", then every model by name.
std::vector<std::string> RadioModelItems();

// The choices of the mode box, in its order.
enum class ModeChoiceItem : std::size_t {
  Translating,
  Ft950Emulation,
  Sharing,
  NoTranslation,
};

// The monitor box keeps at most this much; the capture files keep everything.
inline constexpr std::size_t kMonitorLines = 5000;
inline constexpr std::size_t kMonitorCharacters = 256 * 1024;

// The help window: a text and a Close button, shown without blocking the main window.
class HelpFormModel {
 public:
  HelpFormModel();
  HelpFormModel(const HelpFormModel&) = delete;
  HelpFormModel& operator=(const HelpFormModel&) = delete;

  std::string title = "Help";
  Geometry clientArea{0, 0, 6045, 3930};
  TextBox Text1;
  Button Command1;

  [[nodiscard]] bool Loaded() const { return loaded_; }
  // Loads the window if needed and shows it.
  void Show();
  // Closes and forgets the window.
  void Unload();
  Signal<> changed;

 private:
  bool loaded_ = false;
};

class CatmuxModel {
 public:
  CatmuxModel();
  CatmuxModel(const CatmuxModel&) = delete;
  CatmuxModel& operator=(const CatmuxModel&) = delete;

  std::string title = "Vantorel - Catmux";

  // Outer size of the window in twips; changed by the Expand/Collapse menu.
  [[nodiscard]] int Width() const { return width_; }
  [[nodiscard]] int Height() const { return height_; }
  void SetWidth(int twips);
  void SetHeight(int twips);
  Signal<> sizeChanged;

  // Port section (visible in the collapsed window).
  Label Label1;       // "FT-950 Virtual Port"
  ComboBox Soft1Com;  // App 1's port
  Label Label3;       // "Radio Com Port"
  ComboBox RadioCom;  // the radio's port
  Label Label4;
  ComboBox Baud;  // the radio's line: speed
  Label Label5;
  ComboBox DataBits;  // data bits
  Label Label6;
  ComboBox Parity;  // parity
  Label Label7;
  ComboBox StopBits;    // stop bits
  Button Command1;      // Start
  Button Command2;      // Stop
  Button Command4;      // Close
  PictureBox Picture1;  // the picture beside the port section

  // Expanded part.
  std::array<OptionButton, 2> Option1;  // which station program Start brings forward
  Label Label8;
  TextBox App1Name;  // program 1's path
  Label Label9;
  TextBox App2Name;  // program 2's path
  Label Label11;
  TextBox Text7;  // the beginning of program 1's window title ("Heading")
  Label Label10;
  TextBox Text4;       // a text to send by hand
  Button Command9;     // Send to Rigdesk
  Button Command6;     // Send to Radio
  TextBox Text5;       // App 1's monitor
  Button Command7;     // Clear
  TextBox Text6;       // the radio's monitor
  TextBox Text1;       // App 1's latest text (and, monitoring, its translation)
  TextBox Text2;       // App 2's text waiting to go to the radio
  TextBox Text3;       // the radio's latest text
  CheckBox Check1;     // Monitor data
  CheckBox PWROn;      // Power On/Off: App 1 may not switch the radio on
  CheckBox Check2;     // No Translation
  CheckBox MonitorTX;  // the transmit time-out on
  TextBox ShutDwn;     // the transmit time limit in seconds
  // App 1 is a standard FT-950 client: no echo, reads answered as an FT-950 does.
  CheckBox Ft950Emulation;
  Shape Shape1;  // lit while App 1 works on VFO B
  Shape Shape2;  // a red lamp never shown
  // The mode in one choice; it sets Ignore2, Check2 and Ft950Emulation.
  Label ModeLabel;
  ChoiceBox ModeChoice;
  // The Kenwood model the emulation speaks to: "auto" (learned from the radio
  // at every open) or one model by name.
  Label RadioLabel;
  ChoiceBox RadioChoice;
  // Beside App 2's port while it is in use: whether App 2 hears the radio.
  Label App2Label;

  // Live status: a lamp per port, the transmitter and the traffic since Start.
  Lamp App1Lamp;
  Lamp RadioLamp;
  Lamp App2Lamp;
  Label TransmitState;
  Label TrafficCounts;
  // Shown once App 1 looks like a standard FT-950 program while the mode is
  // Translating: the advice, and the button that chooses the emulation.
  Label ModeAdvice;
  Button UseEmulation;

  // Background panels, under the white-on-dark labels.
  Shape Shape3;
  Shape Shape4;
  Shape Shape5;

  // Shown while App 2 is in use (sharing).
  Label Label2;
  ComboBox Soft2Com;    // App 2's port
  CheckBox Ignore2Out;  // the radio's text not sent to App 2
  // In the expanded part: the monitor's form, the capture, the test commands.
  CheckBox HexX;    // the monitor as byte values
  CheckBox Check3;  // Save Data: the capture files
  Button Command3;  // Test
  Button Command5;  // Reset
  // Makes the station's key pair for the encrypted network ports.
  Button MakeCertificate;

  // Hidden controls: never shown, but they steer the logic.
  CheckBox Ignore1;     // App 1's text dropped; clear: auto-information at Start
  CheckBox Ignore1Out;  // the radio's text not sent to App 1
  CheckBox Ignore2;     // App 2 out of use: translating
  CheckBox KenwoodCB;   // the radio's text cut into messages

  // Menus, in menu-bar order; Traffic and Exit are the items of File.
  Menu File;
  Menu TrafficMenu;  // opens the Traffic window
  Menu Exit;
  Menu EXP;
  Menu Abt;
  Menu Hlp;

  Timer Timer1;  // 100 ms: App 1's reads the radio has not answered in time
  Timer Timer2;  // 1 s: the transmit time-out's count

  HelpFormModel HlpForm;
  // The Traffic window: every port's messages with time and direction.
  TrafficModel Traffic;

  // Every control, for views and tests that walk them all.
  [[nodiscard]] std::vector<Control*> Controls();

 private:
  int width_ = kCollapsedWidth;
  int height_ = kCollapsedHeight;
};

}  // namespace vantorel::model
